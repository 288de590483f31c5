#include "app/CKeyring.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <memory>

namespace {

QString service() {
    return QString::fromLatin1(CKeyring::kService);
}

} // namespace

CKeyring::Result CKeyring::read(const std::string& key, std::string& secret) {
    auto* job = new QKeychain::ReadPasswordJob(service());
    job->setKey(QString::fromStdString(key));
    return run(job, &secret);
}

CKeyring::Result CKeyring::write(const std::string& key, const std::string& secret) {
    auto* job = new QKeychain::WritePasswordJob(service());
    job->setKey(QString::fromStdString(key));
    job->setTextData(QString::fromStdString(secret));
    return run(job, nullptr);
}

CKeyring::Result CKeyring::remove(const std::string& key) {
    auto* job = new QKeychain::DeletePasswordJob(service());
    job->setKey(QString::fromStdString(key));
    return run(job, nullptr);
}

CKeyring::Result CKeyring::run(QKeychain::Job* job, std::string* secret) {
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    // The job may finish after the limit, when this call has long returned: what it reports
    // then goes into the shared outcome, which nobody reads any more.
    struct Outcome {
        bool finished = false;
        Result result = Result::Unavailable;
        std::string secret;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [outcome, &loop](QKeychain::Job* j) {
        outcome->finished = true;
        if (j->error() == QKeychain::NoError) {
            outcome->result = Result::Done;
            if (auto* reader = qobject_cast<QKeychain::ReadPasswordJob*>(j))
                outcome->secret = reader->textData().toStdString();
        } else if (j->error() == QKeychain::EntryNotFound) {
            outcome->result = Result::NotFound;
        }
        loop.quit();
    });
    QTimer::singleShot(limitMs_, &loop, &QEventLoop::quit);
    job->start();
    if (!outcome->finished)
        loop.exec();
    if (secret && outcome->result == Result::Done)
        *secret = std::move(outcome->secret);
    return outcome->finished ? outcome->result : Result::Unavailable;
}
