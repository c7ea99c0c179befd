#include "watch/WatchState.h"

QString watchStateText(WatchState state) {
    switch (state) {
    case WatchState::AwaitingDeletion:
        return QStringLiteral("等待删除");
    case WatchState::Watching:
        return QStringLiteral("正在关注");
    case WatchState::Free:
        return QStringLiteral("可以注册");
    case WatchState::GivenUp:
        return QStringLiteral("已放弃");
    case WatchState::Caught:
        return QStringLiteral("已被抢注");
    }
    return {};
}

bool isFinished(WatchState state) {
    return state == WatchState::Free || state == WatchState::GivenUp || state == WatchState::Caught;
}
