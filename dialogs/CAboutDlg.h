#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPlainTextEdit;

// "Om Maroket...": name, version, the maker's web page and mail address, and the credits.
// A left-button release on the web page or the address opens it with the desktop's handler; a
// right double-click switches to the short credits for the rest of this opening.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static const QString webPage;
    static const QString mailAddress;

    explicit CAboutDlg(QWidget* parent = nullptr);

    // 0 shows the long credits, anything else the short ones.
    void SetCreditsVariant(int variant) { creditsVariant_ = variant; }
    int creditsVariant() const { return creditsVariant_; }

    // Runs through DialogResult::run: 1 after OK or Enter, 2 after Escape or the close box.

    // How the links are opened; an empty function restores the desktop's handler. Its result
    // is ignored: without a browser or mail program nothing happens.
    static void setUrlOpener(std::function<bool(const QUrl&)> opener);

protected:
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void initDialog();

    int creditsVariant_ = 0;
    QLabel* webLink_ = nullptr;
    QLabel* mailLink_ = nullptr;
    QPlainTextEdit* credits_ = nullptr;
};
