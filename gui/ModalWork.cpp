#include "gui/ModalWork.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>
#include <QThreadPool>
#include <QWidget>

#include <future>

namespace korvel {

namespace {

// Past this, a step shows its progress dialog; shorter waits show the busy cursor alone.
constexpr int kProgressDelayMs = 500;
// The width of the progress dialog, in average characters.
constexpr int kProgressTextWidth = 56;

// What a user does to a window; a window under a modal dialog ignores it.
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// The widget an event goes to, or the one a shortcut or an action belongs to.
const QWidget* owningWidget(const QObject* object)
{
    while (object && !object->isWidgetType())
        object = object->parent();
    return static_cast<const QWidget*>(object);
}

// The threads the steps run on, kept from one step to the next: a thread that is started
// anew waits its turn for a processor for milliseconds on a busy machine, one that is woken
// hardly at all. A step may wait for a question whose answer runs a step of its own.
constexpr int kStepsAtOnce = 2;

QThreadPool& workerThreads()
{
    static QThreadPool* const pool = [] {
        auto* threads = new QThreadPool(qApp);
        threads->setMaxThreadCount(kStepsAtOnce);
        threads->setExpiryTimeout(-1);
        return threads;
    }();
    return *pool;
}

} // namespace

ModalWork::ModalWork(QWidget* window, MessageSink& messages) : m_window(window), m_messages(*this, messages)
{
    m_progressDue.setSingleShot(true);
    m_progressDue.setInterval(kProgressDelayMs);
    connect(&m_progressDue, &QTimer::timeout, this, &ModalWork::showProgress);
    qApp->installEventFilter(this);
}

ModalWork::~ModalWork()
{
    qApp->removeEventFilter(this);
}

void ModalWork::runOnWorker(const QString& stepText, const std::function<void()>& step)
{
    tell(stepText);
    const QSet<const QWidget*> outer = std::exchange(m_blocked, windowsToBlock());
    setBusyCursor(true);
    m_progressDue.start();

    QEventLoop loop;
    // The worker's last touch of this frame: once it is told, the frame may go.
    const auto done = std::make_shared<std::promise<void>>();
    std::future<void> stepEnded = done->get_future();
    workerThreads().start([this, &step, &loop, done] {
        {
            const CancellableWork::Scope scope(m_cancel);
            step();
        }
        // Queued after whatever the step handed over, which runs first.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        done->set_value();
    });
    loop.exec();
    stepEnded.wait();

    m_progressDue.stop();
    if (m_progress)
        m_progress->hide();
    setBusyCursor(false);
    m_blocked = outer;
}

void ModalWork::tell(const QString& stepText, qsizetype done, qsizetype total)
{
    {
        const std::lock_guard<std::mutex> lock(m_stepLock);
        m_told = {stepText, done, total};
    }
    // Row by row an import tells more than a screen can show: one showing at a time, of
    // whatever was told last.
    if (!m_stepPosted.exchange(true))
        QMetaObject::invokeMethod(this, &ModalWork::showStep, Qt::QueuedConnection);
}

void ModalWork::showStep()
{
    m_stepPosted = false;
    if (!m_progress)
        return;
    Told step;
    {
        const std::lock_guard<std::mutex> lock(m_stepLock);
        step = m_told;
    }
    m_progress->setLabelText(step.text);
    // Without a total the bar only says that something goes on.
    m_progressBar->setRange(0, static_cast<int>(qMin<qsizetype>(step.total, INT_MAX)));
    m_progressBar->setValue(static_cast<int>(qMin(step.done, step.total)));
}

void ModalWork::showProgress()
{
    if (m_cancel.isCancelled())
        return;
    if (!m_progress) {
        m_progress = std::make_unique<QProgressDialog>(m_window);
        // Driven through a bar of its own: QProgressDialog::setValue would show the dialog on
        // its own schedule and handle events inside the call.
        m_progressBar = new QProgressBar(m_progress.get());
        m_progress->setBar(m_progressBar);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->reset(); // stops the dialog's own timer for showing itself
        m_progress->setWindowTitle(QCoreApplication::applicationName());
        m_progress->setCancelButtonText(QStringLiteral("取消"));
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setObjectName(QStringLiteral("progressDialog"));
        // Wide enough for the longest step an import tells, so that the 取消 button stays
        // where the pointer found it.
        m_progress->setMinimumWidth(m_progress->fontMetrics().averageCharWidth() * kProgressTextWidth);
        connect(m_progress.get(), &QProgressDialog::canceled, this, &ModalWork::cancel);
        connect(m_progress.get(), &QDialog::rejected, this, &ModalWork::cancel);
    }
    showStep();
    // The pointer is for the 取消 button now, and the keyboard for Escape.
    setBusyCursor(false);
    m_progress->show();
    m_progress->activateWindow();
}

void ModalWork::cancel()
{
    m_cancel.cancel();
    m_progressDue.stop();
    m_progress->hide();
    // The work winds down: what it wrote is being taken back.
    setBusyCursor(true);
}

ModalWork::Waiting ModalWork::makeWay()
{
    const Waiting waiting{m_busyCursor, m_progressDue.isActive() || (m_progress && m_progress->isVisible())};
    m_progressDue.stop();
    if (m_progress)
        m_progress->hide();
    setBusyCursor(false);
    return waiting;
}

void ModalWork::resume(const Waiting& waiting)
{
    setBusyCursor(waiting.busyCursor || (waiting.progressDue && !m_cancel.isCancelled()));
    if (waiting.progressDue && !m_cancel.isCancelled())
        m_progressDue.start();
}

void ModalWork::onGuiThread(const std::function<void()>& function)
{
    if (QThread::currentThread() == thread()) {
        function();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, &function] {
            const Waiting waiting = makeWay();
            function();
            resume(waiting);
        },
        Qt::BlockingQueuedConnection);
}

void ModalWork::handOver(std::function<void()> function)
{
    // Queued before the worker's end is, so run before the step returns.
    QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
}

void ModalWork::setBusyCursor(bool busy)
{
    if (busy == m_busyCursor)
        return;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    m_busyCursor = busy;
}

QSet<const QWidget*> ModalWork::windowsToBlock() const
{
    QSet<const QWidget*> windows;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != m_progress.get())
            windows.insert(window);
    }
    return windows;
}

bool ModalWork::eventFilter(QObject* watched, QEvent* event)
{
    if (m_blocked.isEmpty() || !isUserInput(event->type()))
        return false;
    // The program's own closing of a dialog is no input; the window manager's is.
    if (event->type() == QEvent::Close && !event->spontaneous())
        return false;
    const QWidget* widget = owningWidget(watched);
    if (!widget || !m_blocked.contains(widget->window()))
        return false;
    // Refused, so that a close the window manager asks for leaves the window open.
    event->ignore();
    return true;
}

void ModalWork::GuiThreadMessages::showWarning(const QString& text)
{
    m_work.onGuiThread([this, &text] { m_shown.showWarning(text); });
}

void ModalWork::GuiThreadMessages::showInformation(const QString& text)
{
    m_work.onGuiThread([this, &text] { m_shown.showInformation(text); });
}

} // namespace korvel
