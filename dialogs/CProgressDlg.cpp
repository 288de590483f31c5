#include "dialogs/CProgressDlg.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/IdText.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimerEvent>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

int openWindows = 0;

constexpr int tickMs = 250;

} // namespace

CProgressDlg::CProgressDlg(std::shared_ptr<ProgressState> state, QWidget* parent)
    : QDialog(parent), state_(std::move(state)) {
    if (!state_)
        state_ = std::make_shared<ProgressState>();

    // Caption without system menu: no close box, so the user ends it only through Avbryt.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Arbetar..."));
    setFont(CDialogUnits::dialogFont());

    bar_ = new QProgressBar(this);
    bar_->setObjectName(idText(ControlId::ProgressBar));
    bar_->setAccessibleName(tr("Arbetar..."));
    setAccessibleName(windowTitle());
    bar_->setTextVisible(false);

    cancelButton_ = new QPushButton(tr("Avbryt"), this);
    cancelButton_->setObjectName(idText(ControlId::Cancel));
    cancelButton_->setAccessibleName(tr("Avbryt"));
    // The only button is also the default, so Enter ends the window like Escape does.
    cancelButton_->setDefault(true);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    layOutFromDialogUnits();
    CLayoutFit::fit(*this);
    placeAtCursor();

    // Totals are byte counts: QProgressBar's range is a full int, well above 65535.
    bar_->setRange(0, std::max(0, state_->total));
    bar_->setValue(0);
    tickTimer_ = startTimer(tickMs);
    lastShown_ = 0;
    cancelButton_->setFocus();
}

CProgressDlg::~CProgressDlg() {
    end();
}

int CProgressDlg::openCount() {
    return openWindows;
}

void CProgressDlg::done(int result) {
    // Apart from its own tick at the total, only the user ends the window: that is a cancel.
    if (!ended_ && !reachedTotal_)
        state_->cancelled.store(true, std::memory_order_relaxed);
    end();
    QDialog::done(result);
}

void CProgressDlg::closeAtEnd() {
    if (ended_)
        return;
    reachedTotal_ = true;
    reject();
}

void CProgressDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!counted_ && !ended_) {
        counted_ = true;
        ++openWindows;
    }
}

void CProgressDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == tickTimer_)
        tick();
    else
        QDialog::timerEvent(event);
}

void CProgressDlg::layOutFromDialogUnits() {
    const CDialogUnits du(font());
    setFixedSize(du.x(186), du.y(55));
    bar_->setGeometry(du.rect(7, 12, 172, 14));
    cancelButton_->setGeometry(du.rect(67, 35, 50, 14));
}

// Centred on the mouse pointer, but never partly off the screen it is on. The whole window
// counts, frame included, where the platform knows the frame before the window is shown.
void CProgressDlg::placeAtCursor() {
    create();
    const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QPoint cursor = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QRect frame(QPoint(0, 0), size().grownBy(margins));
    frame.moveCenter(cursor);
    if (screen) {
        const QRect avail = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), avail.left(),
                                  std::max(avail.left(), avail.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), avail.top(),
                                 std::max(avail.top(), avail.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft()); // a window's position is its frame's
}

void CProgressDlg::tick() {
    // Only the latest report counts; the ones between two ticks are never drawn.
    const int position = state_->position.load(std::memory_order_relaxed);
    if (position != lastShown_) {
        bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
        lastShown_ = position;
    }
    if (lastShown_ >= state_->total)
        closeAtEnd();
}

void CProgressDlg::end() {
    if (ended_)
        return;
    ended_ = true;
    if (tickTimer_) {
        killTimer(tickTimer_);
        tickTimer_ = 0;
    }
    if (counted_)
        --openWindows;
    state_->ended.store(true, std::memory_order_relaxed);
}
