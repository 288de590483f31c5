#pragma once

#include "tests/peers/CPeerProcess.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <string>
#include <unistd.h>

// Whether something listens at address and port (IPv4).
inline bool acceptsConnection(const std::string& address, int port) {
    const int fd = CPeerProcess::connectTo(address, port, 1);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

// The browser of a user who is signed in with the provider: it follows the authorization page's
// redirection to the program's listener with an HTTP client. It can also bring back an answer
// with another state, as a page of someone else's could, or never come back.
class CScriptedBrowser {
public:
    enum class Mode { Follow, ForeignState, NeverReturns };
    explicit CScriptedBrowser(Mode mode = Mode::Follow) : mode_(mode) {
        network_.setProxy(QNetworkProxy::NoProxy);
    }

    bool open(const QUrl& page) {
        ++opened;
        listenerPort =
            QUrl(QUrlQuery(page).queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded))
                .port();
        if (mode_ == Mode::NeverReturns)
            return true;
        QNetworkRequest request(page);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply* reply = network_.get(request);
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] {
            reply->deleteLater();
            QUrl answer = reply->header(QNetworkRequest::LocationHeader).toUrl();
            if (mode_ == Mode::ForeignState) {
                QUrlQuery query(answer);
                query.removeQueryItem(QStringLiteral("state"));
                query.addQueryItem(QStringLiteral("state"), QStringLiteral("someone-elses"));
                answer.setQuery(query);
            }
            answeredOnLoopbackOnly = answer.host() == QStringLiteral("127.0.0.1") &&
                                     !acceptsConnection("127.0.0.2", answer.port());
            QNetworkReply* back = network_.get(QNetworkRequest(answer));
            QObject::connect(back, &QNetworkReply::finished, back, [this, back] {
                back->deleteLater();
                listenerPage = back->readAll().toStdString();
            });
        });
        return true;
    }
    std::function<bool(const QUrl&)> opener() {
        return [this](const QUrl& page) { return open(page); };
    }

    int opened = 0;
    int listenerPort = -1;
    bool answeredOnLoopbackOnly = false;
    std::string listenerPage;

private:
    Mode mode_;
    QNetworkAccessManager network_;
};
