#include "dialogs/CAboutDlg.h"

#include "dialogs/CAppIcon.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"
#include "resources/StringIds.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <utility>

const QString CAboutDlg::webPage = QStringLiteral("https://maroket.example.org/");
const QString CAboutDlg::mailAddress = QStringLiteral("info@example.org");

namespace {

std::function<bool(const QUrl&)>& urlOpener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

void openUrl(const QUrl& url) {
    if (urlOpener())
        urlOpener()(url);
    else
        QDesktopServices::openUrl(url);
}

constexpr int marginUnits = 7;

QLabel* addLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setAccessibleName(text);
    label->setGeometry(rect);
    return label;
}

// The links are plain labels that leave the mouse to the dialog, which decides on the release
// by their rectangles. They keep their place, but may reach to the dialog's margin when the
// desktop's font is wider than the layout's, so that an address is never cut.
QLabel* addLink(QWidget* parent, ControlId id, const QString& text, const QRect& rect,
                int rightEdge) {
    QLabel* link = addLabel(parent, text, rect);
    link->setObjectName(idText(id));
    link->setAttribute(Qt::WA_TransparentForMouseEvents);
    link->setForegroundRole(QPalette::Link);
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
    const int wanted = std::max(rect.width(), link->sizeHint().width());
    link->resize(std::max(rect.width(), std::min(wanted, rightEdge - rect.left())), rect.height());
    return link;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setObjectName(idText(ControlId::AboutDlg));
    setWindowTitle(tr("Om Maroket..."));
    setAccessibleName(windowTitle());
    setFont(CDialogUnits::dialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(235), du.y(87));
    const int rightEdge = width() - du.x(marginUnits);

    auto* icon = new QLabel(this);
    icon->setObjectName(idText(ControlId::AboutIcon));
    icon->setAccessibleName(QStringLiteral("Maroket"));
    icon->setGeometry(du.rect(7, 7, 20, 20));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int side = std::min(icon->width(), icon->height());
    icon->setPixmap(CAppIcon::icon().pixmap(QSize(side, side), devicePixelRatioF()));

    addLabel(this, QString::fromLatin1(kMaroketVersionText), du.rect(40, 10, 44, 8));
    webLink_ = addLink(this, ControlId::WebLink, webPage, du.rect(121, 10, 99, 8), rightEdge);
    auto* contact = addLabel(this, tr("Frågor och synpunkter till:"), du.rect(40, 25, 125, 8));
    // Reads on into the address beside it.
    contact->setAlignment(Qt::AlignRight | Qt::AlignTop);
    mailLink_ = addLink(this, ControlId::MailLink, mailAddress, du.rect(166, 25, 54, 8), rightEdge);

    credits_ = new QPlainTextEdit(this);
    credits_->setObjectName(idText(ControlId::CreditsText));
    credits_->setAccessibleName(tr("Medverkande"));
    credits_->setGeometry(du.rect(40, 42, 130, 38));
    credits_->setReadOnly(true);
    credits_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    credits_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    credits_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    credits_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    credits_->setTabChangesFocus(true);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(idText(ControlId::Ok));
    ok->setAccessibleName(ok->text());
    ok->setGeometry(du.rect(178, 66, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(credits_, ok);
    credits_->setFocus();
    CLayoutFit::fit(*this);
}

void CAboutDlg::setUrlOpener(std::function<bool(const QUrl&)> opener) {
    urlOpener() = std::move(opener);
}

void CAboutDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        initDialog();
    QDialog::showEvent(event);
}

void CAboutDlg::initDialog() {
    const StringId id = creditsVariant_ == 0 ? StringId::LongCredits : StringId::ShortCredits;
    credits_->setPlainText(CUiText::toQString(CStringTable::load(id)));
}

void CAboutDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        creditsVariant_ = 1;
        initDialog();
    }
    QDialog::mouseDoubleClickEvent(event);
}

// A release counts wherever the press was: a press on a link that ends elsewhere opens
// nothing, one that starts elsewhere and ends on a link opens it.
void CAboutDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        if (webLink_->geometry().contains(at))
            openUrl(QUrl(webPage));
        else if (mailLink_->geometry().contains(at))
            openUrl(QUrl(QStringLiteral("mailto:") + mailAddress));
    }
    QDialog::mouseReleaseEvent(event);
}
