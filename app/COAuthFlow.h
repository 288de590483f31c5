#pragma once

#include "platform/COAuthProviders.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QOAuth2AuthorizationCodeFlow>
#include <QObject>

#include <functional>
#include <string>

class QNetworkReply;
class QOAuthHttpServerReplyHandler;
class QUrl;

// One exchange with a provider's sign-in service on Qt's authorization-code flow: either the
// sign-in of a native program in the system browser (RFC 8252), with PKCE S256 (RFC 7636) and
// the answer taken by a listener on 127.0.0.1 at a port the system picks, which takes that one
// answer and closes; or the refresh of the access token with a refresh token. It ends once,
// with ended(): granted with the tokens, refused by the provider, or failed, with a text that
// says why. Each request to the provider waits at most the given limit; how long the user may
// take in the browser is the caller's to limit (abandon()).
class COAuthFlow : public QObject {
    Q_OBJECT

public:
    enum class Outcome { Running, Granted, Refused, Failed };
    struct Tokens {
        std::string access;
        std::string refresh; // empty when the provider gave none
        int expiresIn = -1;  // seconds; -1 when the provider did not say
    };

    COAuthFlow(const OAuthProvider& provider, int requestLimitMs, QObject* parent = nullptr);
    ~COAuthFlow() override;

    // Starts listening and hands the provider's sign-in page to openUrl (the system browser).
    // The account goes along as a hint for the sign-in page. False, ended, when the listener or
    // the browser cannot start.
    bool signIn(const std::string& account, const std::function<bool(const QUrl&)>& openUrl);
    void refresh(const std::string& refreshToken);
    // Ends a running exchange without an outcome of its own (the caller says why): the listener
    // closes and a request under way is dropped.
    void abandon();

    Outcome outcome() const { return outcome_; }
    const Tokens& tokens() const { return tokens_; }
    const std::string& errorText() const { return errorText_; }

signals:
    void ended();

private:
    void modifyParameters(QAbstractOAuth::Stage stage, QMultiMap<QString, QVariant>* parameters);
    void onCallback(const QVariantMap& values);
    void onReplyFinished(QNetworkReply* reply);
    void onGranted();
    void end(Outcome outcome, const std::string& errorText = {});
    void closeListener();

    OAuthProvider provider_;
    int requestLimitMs_;
    QNetworkAccessManager network_;
    QOAuth2AuthorizationCodeFlow flow_;
    QOAuthHttpServerReplyHandler* listener_ = nullptr;
    QByteArray verifier_;
    QString loginHint_;
    Outcome outcome_ = Outcome::Running;
    Tokens tokens_;
    std::string errorText_;
};
