#include "watch/StoreProblem.h"

using namespace Qt::StringLiterals;

bool StoreProblem::provesDamage() const {
    return cause == Cause::Damaged || cause == Cause::ForeignFile || cause == Cause::NewerVersion;
}

QString StoreProblem::reason() const {
    switch (cause) {
    case Cause::None:
        return {};
    case Cause::DiskFull:
        return u"磁盘已满"_s;
    case Cause::ReadOnlyFile:
        return u"文件是只读的"_s;
    case Cause::ReadOnlyFolder:
        return u"文件所在的文件夹是只读的"_s;
    case Cause::Locked:
        return u"文件被另一个程序锁定"_s;
    case Cause::NoPermission:
        return u"没有访问该文件的权限"_s;
    case Cause::CannotOpen:
        return u"文件无法打开"_s;
    case Cause::IoError:
        return u"读写磁盘时出错"_s;
    case Cause::Damaged:
        return u"文件已损坏"_s;
    case Cause::ForeignFile:
        return u"文件中是其他程序的数据"_s;
    case Cause::NewerVersion:
        return u"文件由更新版本的本程序写入"_s;
    case Cause::Unexpected:
        break;
    }
    return u"发生了意外的错误"_s;
}

StoreProblem::Cause StoreProblemCauseOfSqlite(int resultCode) {
    using Cause = StoreProblem::Cause;
    constexpr int kReadOnlyDirectory = 8 | (6 << 8);
    if (resultCode == kReadOnlyDirectory)
        return Cause::ReadOnlyFolder;
    switch (resultCode & 0xff) {
    case 3:  // PERM
    case 23: // AUTH
        return Cause::NoPermission;
    case 5: // BUSY
    case 6: // LOCKED
        return Cause::Locked;
    case 8: // READONLY
        return Cause::ReadOnlyFile;
    case 10: // IOERR
        return Cause::IoError;
    case 11: // CORRUPT
    case 26: // NOTADB
        return Cause::Damaged;
    case 13: // FULL
        return Cause::DiskFull;
    case 14: // CANTOPEN
        return Cause::CannotOpen;
    }
    return Cause::Unexpected;
}

QString MovedAsideNotice(const StoreProblem& problem, const QString& movedTo) {
    return u"关注列表文件无法使用（%1），已移到：\n%2\n新的关注列表已经开始。"_s.arg(
        problem.reason(), movedTo);
}

QString ReadOnlyNotice(const StoreProblem& problem, const QString& path) {
    return u"关注列表的更改无法保存：%1。\n文件：%2\n列表已经读入，关注照常进行，"
           "但本次的更改在程序关闭后不会保留。"_s.arg(problem.reason(), path);
}

QString InMemoryNotice(const StoreProblem& problem, const QString& path) {
    return u"无法读取关注列表文件：%1。\n文件：%2\n本次使用一个空的关注列表，关注照常进行，"
           "但更改在程序关闭后不会保留。"_s.arg(problem.reason(), path);
}
