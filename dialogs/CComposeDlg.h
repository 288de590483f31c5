#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// "Nytt brev": the editor for a new message or a reply. The caller fills the fields it knows,
// runs the dialog, and after "Skicka" (run() == DialogResult::ok) reads every field back.
// Texts are the core's UTF-8, copied in and out through the text boundary.
class CComposeDlg : public QDialog {
    Q_OBJECT

public:
    explicit CComposeDlg(QWidget* parent = nullptr);

    void SetFrom(const std::string& from) { from_ = from; }
    void SetTo(const std::string& to) { to_ = to; }
    void SetSubject(const std::string& subject) { subject_ = subject; }
    void SetDirect(bool direct) { direct_ = direct; }
    // The body becomes the text with "> " in front of every line, the first included.
    void SetQuotedBody(const std::string& text);

    // Runs through DialogResult::run: 1 after "Skicka" or Enter in a one-line field, 2 after
    // "Avbryt", Escape or the close box. With any text changed since the window opened, those
    // three first ask "Kasta brevet?", and No keeps the window open.
    // The question's asker: true for Yes. Without one, a message box asks.
    void setDiscardQuestion(std::function<bool(const QString&)> ask) { ask_ = std::move(ask); }

    // Lines of the body end in CR LF, as mail's do.
    const std::string& body() const { return body_; }
    const std::string& from() const { return from_; }
    const std::string& subject() const { return subject_; }
    const std::string& to() const { return to_; }
    bool direct() const { return direct_; }

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fieldsToControls();
    void controlsToFields();
    void chooseFocus();
    // The texts of the controls, in exchange order.
    QStringList shownTexts() const;

    std::string body_;
    std::string from_;
    std::string subject_;
    std::string to_;
    bool direct_ = false;
    QStringList opened_; // the texts as the window opened with them
    std::function<bool(const QString&)> ask_;

    QPlainTextEdit* bodyEdit_ = nullptr;
    QLineEdit* fromEdit_ = nullptr;
    QLineEdit* subjectEdit_ = nullptr;
    QLineEdit* toEdit_ = nullptr;
    QCheckBox* directCheck_ = nullptr;
};
