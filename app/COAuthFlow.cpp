#include "app/COAuthFlow.h"

#include "dialogs/CUiText.h"
#include "resources/CStringTable.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QOAuthHttpServerReplyHandler>
#include <QOAuthOobReplyHandler>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

QLoggingCategory::CategoryFilter otherFilter = nullptr;

// Qt's OAuth module logs what it could not use, a token reply among it. The program keeps no
// secret in a log, so that module's messages are off.
void quietOAuthModule(QLoggingCategory* category) {
    if (qstrncmp(category->categoryName(), "qt.networkauth", 14) == 0) {
        for (QtMsgType type : {QtDebugMsg, QtInfoMsg, QtWarningMsg, QtCriticalMsg})
            category->setEnabled(type, false);
        return;
    }
    if (otherFilter)
        otherFilter(category);
}

// Random text for the PKCE verifier and the state, from the system's generator.
QByteArray randomText(int words) {
    QByteArray raw(words * 4, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(raw.data()), words);
    return raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

std::string bytes(const QString& text) {
    return CUiText::toBytes(text);
}

} // namespace

COAuthFlow::COAuthFlow(const OAuthProvider& provider, int requestLimitMs, QObject* parent)
    : QObject(parent), provider_(provider), requestLimitMs_(requestLimitMs) {
    static const bool quiet = [] {
        otherFilter = QLoggingCategory::installFilter(quietOAuthModule);
        return true;
    }();
    (void)quiet;
    network_.setTransferTimeout(requestLimitMs_);
    flow_.setNetworkAccessManager(&network_);
    flow_.setAuthorizationUrl(QUrl(text(provider_.authorizationUrl)));
    flow_.setAccessTokenUrl(QUrl(text(provider_.tokenUrl)));
    flow_.setClientIdentifier(text(provider_.clientId));
    flow_.setScope(text(provider_.scopes));
    // Qt 6.4 has no PKCE of its own: its requests get the challenge and the verifier here.
    flow_.setModifyParametersFunction(
        [this](QAbstractOAuth::Stage stage, QMultiMap<QString, QVariant>* parameters) {
            modifyParameters(stage, parameters);
        });
    connect(&network_, &QNetworkAccessManager::finished, this, &COAuthFlow::onReplyFinished);
    connect(&flow_, &QAbstractOAuth::granted, this, &COAuthFlow::onGranted);
    connect(&flow_, &QAbstractOAuth2::error, this,
            [this](const QString& error, const QString& description, const QUrl&) {
                end(Outcome::Refused,
                    CStringTable::load(StringId::OAuthRefused,
                                       bytes(description.isEmpty() ? error : description)));
            });
}

COAuthFlow::~COAuthFlow() {
    abandon();
}

bool COAuthFlow::signIn(const std::string& account,
                        const std::function<bool(const QUrl&)>& openUrl) {
    // Loopback only, at a port of the system's choice: no other machine can send the answer.
    listener_ = new QOAuthHttpServerReplyHandler(QHostAddress(QHostAddress::LocalHost), 0, this);
    if (!listener_->isListening()) {
        end(Outcome::Failed, CStringTable::load(StringId::OAuthCannotListen));
        return false;
    }
    listener_->setCallbackText(text(CStringTable::load(StringId::OAuthAnswerPage)));
    // Connected before the flow connects its own, so the answer is judged here first.
    connect(listener_, &QAbstractOAuthReplyHandler::callbackReceived, this,
            &COAuthFlow::onCallback);
    flow_.setReplyHandler(listener_);
    verifier_ = randomText(8); // 43 characters, the least RFC 7636 allows
    loginHint_ = text(account);
    flow_.setState(QString::fromLatin1(randomText(4)));
    bool opened = false;
    const QMetaObject::Connection browser =
        connect(&flow_, &QAbstractOAuth::authorizeWithBrowser, this,
                [&opened, &openUrl](const QUrl& url) { opened = openUrl(url); });
    flow_.grant();
    disconnect(browser);
    if (!opened && outcome_ == Outcome::Running)
        end(Outcome::Failed, CStringTable::load(StringId::OAuthBrowserFailed));
    return outcome_ == Outcome::Running;
}

void COAuthFlow::refresh(const std::string& refreshToken) {
    flow_.setReplyHandler(new QOAuthOobReplyHandler(this));
    flow_.setRefreshToken(text(refreshToken));
    flow_.refreshAccessToken();
}

void COAuthFlow::abandon() {
    if (outcome_ == Outcome::Running)
        end(Outcome::Failed);
}

void COAuthFlow::modifyParameters(QAbstractOAuth::Stage stage,
                                  QMultiMap<QString, QVariant>* parameters) {
    // Every value is given percent-encoded: Qt's query keeps the encoding as it finds it, so a
    // "+" or "&" in an account or a secret cannot turn into another parameter or a blank.
    const QString secretKey = QStringLiteral("client_secret");
    parameters->remove(secretKey);
    auto add = [parameters](const char* key, const QString& value) {
        parameters->insert(QString::fromLatin1(key), QUrl::toPercentEncoding(value));
    };
    switch (stage) {
    case QAbstractOAuth::Stage::RequestingAuthorization:
        add("code_challenge",
            QString::fromLatin1(
                QCryptographicHash::hash(verifier_, QCryptographicHash::Sha256)
                    .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)));
        add("code_challenge_method", QStringLiteral("S256"));
        if (!loginHint_.isEmpty())
            add("login_hint", loginHint_);
        for (const auto& [key, value] : provider_.authorizationParameters)
            add(key.c_str(), text(value));
        return;
    case QAbstractOAuth::Stage::RequestingAccessToken:
        add("code_verifier", QString::fromLatin1(verifier_));
        break;
    case QAbstractOAuth::Stage::RefreshingAccessToken:
        // A refresh has no redirection; Qt would name one all the same.
        parameters->remove(QStringLiteral("redirect_uri"));
        break;
    default:
        return;
    }
    if (!provider_.clientSecret.empty())
        add("client_secret", text(provider_.clientSecret));
}

void COAuthFlow::onCallback(const QVariantMap& values) {
    // The listener takes this one answer. It closes once the flow has built its token request,
    // which names the listener's address.
    QTimer::singleShot(0, this, &COAuthFlow::closeListener);
    if (outcome_ != Outcome::Running)
        return;
    auto value = [&values](const char* key) {
        return QUrl::fromPercentEncoding(values.value(QString::fromLatin1(key)).toByteArray());
    };
    // An answer with another state was not asked for here (another page or program sent it):
    // its code is never redeemed.
    if (value("state").isEmpty() || value("state") != flow_.state()) {
        end(Outcome::Failed, CStringTable::load(StringId::OAuthForeignAnswer));
        return;
    }
    const QString error = value("error");
    if (!error.isEmpty()) {
        const QString description = value("error_description");
        end(Outcome::Refused,
            CStringTable::load(StringId::OAuthRefused,
                               bytes(description.isEmpty() ? error : description)));
        return;
    }
    if (value("code").isEmpty())
        end(Outcome::Failed, CStringTable::load(StringId::OAuthForeignAnswer));
}

void COAuthFlow::onReplyFinished(QNetworkReply* reply) {
    if (outcome_ != Outcome::Running)
        return;
    if (reply->error() == QNetworkReply::NoError) {
        // Qt reads the tokens from the reply; one that holds no access token ends nothing there.
        QTimer::singleShot(0, this, [this] {
            if (outcome_ == Outcome::Running)
                end(Outcome::Failed,
                    CStringTable::load(StringId::OAuthServerFailed, "access_token saknas"));
        });
        return;
    }
    // RFC 6749: a refused grant is 400 (or 401 for the client) with an error code in JSON.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QJsonObject body =
        QJsonDocument::fromJson(reply->peek(std::min<qint64>(reply->bytesAvailable(), 65536)))
            .object();
    const QString error = body.value(QStringLiteral("error")).toString();
    const QString description = body.value(QStringLiteral("error_description")).toString();
    if ((status == 400 || status == 401) && !error.isEmpty())
        end(Outcome::Refused,
            CStringTable::load(StringId::OAuthRefused,
                               bytes(description.isEmpty() ? error : description)));
    else if (reply->error() == QNetworkReply::OperationCanceledError)
        end(Outcome::Failed,
            CStringTable::load(StringId::OAuthNoAnswer, std::to_string(requestLimitMs_ / 1000)));
    else
        end(Outcome::Failed,
            CStringTable::load(StringId::OAuthServerFailed, bytes(reply->errorString())));
}

void COAuthFlow::onGranted() {
    if (outcome_ != Outcome::Running)
        return;
    tokens_.access = bytes(flow_.token());
    tokens_.refresh = bytes(flow_.refreshToken());
    const QDateTime expires = flow_.expirationAt();
    if (expires.isValid())
        tokens_.expiresIn =
            static_cast<int>(std::max<qint64>(0, QDateTime::currentDateTime().secsTo(expires)));
    end(Outcome::Granted);
}

void COAuthFlow::end(Outcome outcome, const std::string& errorText) {
    if (outcome_ != Outcome::Running)
        return;
    outcome_ = outcome;
    errorText_ = errorText;
    closeListener();
    // A request still under way is of no use any more; its end is ignored above.
    for (QNetworkReply* reply : network_.findChildren<QNetworkReply*>())
        reply->abort();
    emit ended();
}

void COAuthFlow::closeListener() {
    if (listener_)
        listener_->close();
}
