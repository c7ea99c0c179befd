#include "web/FetchPage.h"

#include "web/Closing.h"
#include "web/NestedWait.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>

FetchOutcome FetchPage(const QString& address, const Closing& closing,
                       std::chrono::nanoseconds timeLimit) {
    using Kind = FetchOutcome::Kind;
    if (closing.isClosing())
        return FetchOutcome::of(Kind::Closing);

    QElapsedTimer clock;
    NestedWait wait(closing, clock, timeLimit.count());

    // Its own manager per call: nothing is pooled between requests, and deleting it at the end
    // frees the reply at once (deleteLater would wait for the main loop).
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(MakePageRequest(address));
    BodyReader body(reply);
    clock.start();
    QObject::connect(reply, &QNetworkReply::finished, wait.context(), [&wait] { wait.wake(); });

    switch (wait.run([reply] { return reply->isFinished(); })) {
    case WaitEnd::Closing:
        reply->abort();
        return FetchOutcome::of(Kind::Closing);
    case WaitEnd::DeadlinePassed:
        reply->abort();
        return FetchOutcome::of(Kind::TimedOut);
    case WaitEnd::Done:
        break;
    }
    return body.finish();
}
