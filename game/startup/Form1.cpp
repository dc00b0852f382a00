#include "Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "Backgrounds.h"
#include "FluidMusic.h"
#include "Form2.h"
#include "Form6.h"
#include "Form8.h"
#include "GameController.h"
#include "Paths.h"
#include "Platform.h"
#include "PlaySurface.h"
#include "SdlSound.h"
#include "Units.h"
#include "Version.h"

namespace wf {
namespace {

constexpr int kTitleTickMs = 40;
constexpr int kClockMs = 1000;
constexpr int kMusicPreloadDelayMs = 100;
constexpr int kHandOverRetryMs = 50;

QTimer* MakeTimer(QObject* owner, const char* name, int intervalMs) {
    auto* t = new QTimer(owner);
    t->setObjectName(QString::fromLatin1(name));
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(intervalMs);
    return t;
}

// The pointer over the surface during a game: the player sees only the
// cross-hair that the game draws.
const QCursor& InvisibleCursor() {
    static const QCursor cursor = [] {
        QPixmap blank(32, 32);
        blank.fill(Qt::transparent);
        return QCursor(blank);
    }();
    return cursor;
}

void ApplyCursor(QWidget* surface, bool invisible) {
    if (invisible)
        surface->setCursor(InvisibleCursor());
    else
        surface->unsetCursor();
}

}  // namespace

Form1::Form1(const QString& programDir)
    : Form1(programDir, std::make_unique<SdlSound>(), std::make_unique<FluidMusic>()) {}

Form1::Form1(const QString& programDir, std::unique_ptr<SoundOutput> sound,
             std::unique_ptr<MusicDevice> music)
    : programDir_(programDir), sound_(std::move(sound)), music_(std::move(music)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(kTitleText));

    picture1_ = new PlaySurface(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    setCentralWidget(picture1_);
    connect(picture1_, &PlaySurface::PointerMoved, this,
            [this](double x, double y) { Controller().MouseMove(x, y); });
    connect(picture1_, &PlaySurface::ButtonReleased, this,
            [this](int button, double x, double y) { Controller().MouseUp(button, x, y); });

    BuildMenu();
    SyncMenu();

    tmrSpiel_ = MakeTimer(this, "tmrSpiel", kFixedTickMs);
    timer1_ = MakeTimer(this, "Timer1", kClockMs);
    timer2_ = MakeTimer(this, "Timer2", kTitleTickMs);
    connect(tmrSpiel_, &QTimer::timeout, this, &Form1::tmrSpiel_Timer);
    connect(timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(timer2_, &QTimer::timeout, this, &Form1::Timer2_Timer);
    timer2_->start();
    handOverRetry_ = MakeTimer(this, "handOverRetry", kHandOverRetryMs);
    connect(handOverRetry_, &QTimer::timeout, this, &Form1::DeliverHandOver);

    SizeWindowToSurface(picture1_->Image().width(), picture1_->Image().height());
}

Form1::~Form1() {
    // The highscore window holds the hand-over entry of this window.
    delete form2_.data();
    ResetGameObjects();
}

void Form1::Form_Load(const QStringList& arguments) {
    // The fonts the game names are not found on every desktop.
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        SetTwipsPerPixel(qRound(1440.0 / screen->logicalDotsPerInch()));
    }

    // The splash lets events through to show itself; the title sequence must
    // not run on half-loaded pictures meanwhile.
    timer2_->stop();
    Form6 splash;
    StartupContext context{
        programDir_, arguments, state_, menu_, stores_, title_, TitleSequence::DefaultCredits(),
        nullptr,     {}};
    context.windows.showSplash = [&splash] { splash.ShowAndPaint(); };
    context.windows.progress = [&splash](int percent) { splash.SetProgress(percent); };
    context.windows.hideSplash = [&splash] { splash.hide(); };
    context.windows.sizeWindow = [this](int w, int h) { SizeWindowToSurface(w, h); };
    startup_ = RunStartup(context);

    ResetGameObjects();  // they take the MOD directory when first used
    SyncMenu();
    // The mixer converts a sound to its own format when it loads it: done
    // now, before the window shows, and never at the first shot of a game.
    if (auto* sdl = dynamic_cast<SdlSound*>(sound_.get()))
        sdl->Preload(JoinStoredPath(startup_.modDir, state_.mod.shotSoundFile));
    timer2_->start();

    // Loading the synthesizer's sound font takes a while: do it just after
    // the window is up rather than during start-up or at the first game.
    if (auto* fluid = dynamic_cast<FluidMusic*>(music_.get())) {
        QTimer::singleShot(kMusicPreloadDelayMs, this, [fluid] { fluid->Preload(); });
    }
}

void Form1::Form_Unload(bool& cancel) {
    cancel = false;
    if (!state_.gameRunning)
        return;
    const MsgResult answer = Platform::Instance().MessageBox(
        this, MsgIcon::Question, QStringLiteral("Wirklich??"),
        QStringLiteral("Wollen Sie wirklich das laufende Spiel beenden ???"), MsgButtons::YesNo);
    cancel = answer != MsgResult::Yes;
}

void Form1::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    // A game that ended behind the question has its hand-over held: it is
    // dropped with the program.
    closing_ = true;
    heldHandOver_.reset();
    handOverRetry_->stop();
    // Other open windows must not keep the program alive.
    QCoreApplication::quit();
}

GameController& Form1::Controller() {
    if (!controller_) {
        controller_ = std::make_unique<GameController>(state_, menu_, stores_, *this, random_,
                                                       *sound_, *music_, startup_.modDir);
    }
    return *controller_;
}

Backgrounds& Form1::BackgroundCommands() {
    if (!backgrounds_) {
        backgrounds_ =
            std::make_unique<Backgrounds>(state_, menu_, stores_, *this, startup_.modDir);
    }
    return *backgrounds_;
}

void Form1::ResetGameObjects() {
    form8_.reset();  // it holds the controller
    backgrounds_.reset();
    controller_.reset();
}

Form8& Form1::EnsureForm8() {
    if (!form8_) {
        form8_ = std::make_unique<Form8>(Controller());
        ApplyCursor(form8_->Picture1, cursorInvisible_);
    }
    return *form8_;
}

void Form1::tmrSpiel_Timer() {
    Controller().GameTick();
}

void Form1::Timer1_Timer() {
    Controller().Timer1_Timer();
}

void Form1::Timer2_Timer() {
    title_.TitleTick(picture1_->Image(), stores_.RESSOURCEN, state_.gameRunning);
    if (!state_.gameRunning)
        RefreshWindowSurface();
}

QImage& Form1::WindowSurface() {
    return picture1_->Image();
}

void Form1::RefreshWindowSurface() {
    picture1_->Refresh();
}

void Form1::SizeWindowToSurface(int widthPx, int heightPx) {
    picture1_->SetSurfaceSize(widthPx, heightPx);
    // The menu bar may need more than one line on a narrow window.
    QMenuBar* bar = menuBar();
    const int byWidth = bar->heightForWidth(widthPx);
    const int barHeight = byWidth > 0 ? byWidth : bar->sizeHint().height();
    setFixedSize(widthPx, heightPx + barHeight);
}

void Form1::SetSurfaceCursorInvisible(bool invisible) {
    cursorInvisible_ = invisible;
    ApplyCursor(picture1_, invisible);
    if (form8_)
        ApplyCursor(form8_->Picture1, invisible);
}

void Form1::HideMainWindow() {
    hide();
}

void Form1::ShowMainWindow() {
    show();
    raise();
    activateWindow();
}

void Form1::ShowFullScreen() {
    EnsureForm8().ShowOn(screen());
}

void Form1::HideFullScreen() {
    if (form8_)
        form8_->hide();
}

QImage& Form1::FullScreenSurface() {
    return EnsureForm8().Picture1->Image();
}

void Form1::RefreshFullScreenSurface() {
    if (form8_)
        form8_->Picture1->Refresh();
}

QSize Form1::ScreenSizePx() {
    if (QScreen* s = screen())
        return s->geometry().size();
    return QSize(1024, 768);
}

std::optional<QPointF> Form1::PointerOnSurface(bool fullScreen) {
    QWidget* surface = fullScreen && form8_ ? static_cast<QWidget*>(form8_->Picture1) : picture1_;
    return QPointF(surface->mapFromGlobal(QCursor::pos()));
}

void Form1::SetTickInterval(int ms) {
    tmrSpiel_->setInterval(ms);
}

// Enabling a running timer leaves its rhythm alone.
void Form1::SetTickTimerEnabled(bool on) {
    if (!on)
        tmrSpiel_->stop();
    else if (!tmrSpiel_->isActive())
        tmrSpiel_->start();
}

void Form1::SetClockTimerEnabled(bool on) {
    if (!on)
        timer1_->stop();
    else if (!timer1_->isActive())
        timer1_->start();
}

void Form1::SetTitleTimerEnabled(bool on) {
    if (!on)
        timer2_->stop();
    else if (!timer2_->isActive())
        timer2_->start();
}

void Form1::ServePendingEvents() {
    QCoreApplication::processEvents();
}

void Form1::MenuChanged() {
    SyncMenu();
}

void Form1::ShowHighscoreWindow(int entryTable, const QString& entryScore) {
    heldHandOver_ = HandOver{entryTable, entryScore};
    DeliverHandOver();
}

void Form1::EndProgram(int status) {
    Platform::Instance().ExitProgram(status);
    std::abort();  // the platform never comes back from ExitProgram
}

}  // namespace wf
