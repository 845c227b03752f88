#pragma once

#include "db/Database.h"
#include "db/CancellableWork.h"
#include "util/MessageSink.h"
#include "util/Outcome.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace korvel {

// The database work of one user action, run step by step on a worker thread, so that the
// window stays painted while a server makes it wait. The user waits as under a modal
// dialog: the windows open when a step begins ignore the mouse and the keyboard, the cursor
// says the program is busy and, past half a second, a progress dialog tells the step, with a
// 取消 button (Escape too) that cancels the work: the statement running and every one the
// action would still send. What the work tells the user or asks goes to the GUI thread, in
// its order, the work waiting meanwhile.
class ModalWork : public QObject
{
    Q_OBJECT

public:
    // The progress dialog belongs to the window; messages go to the sink.
    ModalWork(QWidget* window, MessageSink& messages);
    ~ModalWork() override;

    // Runs a step on the worker thread and gives its result once it is done, the GUI thread
    // handling its events meanwhile. The text is what the progress dialog says until the step
    // tells more.
    template <typename Step>
    auto run(const QString& stepText, Step step) -> decltype(step());

    // The same for a step on a connection of its own, opened with the string: the result of
    // the work on it, or, when the connection cannot be made, the database's error alone. The
    // work gives an Outcome or a Result.
    template <typename Work>
    auto runConnected(const QString& stepText, const QString& connectionString, Work work)
        -> decltype(work(std::declval<Database&>()));

    // From the work, on any thread: what it does now, and how far it has come (done of
    // total; 0 of 0 when it cannot tell).
    void tell(const QString& stepText, qsizetype done = 0, qsizetype total = 0);

    // From the work: runs the function on the GUI thread and waits for it (a message, a
    // question); on the GUI thread, runs it at once. The busy cursor and the progress dialog
    // make way meanwhile.
    void onGuiThread(const std::function<void()>& function);

    // From the work: runs the function on the GUI thread as soon as it is free, the work
    // going on meanwhile; the step ends once every function it handed over has run, in the
    // order handed. For what shows nothing modal: a message shown by one would let the
    // functions after it run before it was answered.
    void handOver(std::function<void()> function);

    // The action's messages, shown on the GUI thread in the order told, from any thread.
    MessageSink& messages() { return m_messages; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class GuiThreadMessages : public MessageSink
    {
    public:
        GuiThreadMessages(ModalWork& work, MessageSink& shown) : m_work(work), m_shown(shown) {}
        void showWarning(const QString& text) override;
        void showInformation(const QString& text) override;

    private:
        ModalWork& m_work;
        MessageSink& m_shown;
    };

    struct Told
    {
        QString text;
        qsizetype done = 0;
        qsizetype total = 0;
    };

    // What a message or a question took from the waiting user, and gives back after.
    struct Waiting
    {
        bool busyCursor;
        bool progressDue;
    };

    void runOnWorker(const QString& stepText, const std::function<void()>& step);
    void showProgress();
    void showStep();
    void cancel();
    Waiting makeWay();
    void resume(const Waiting& waiting);
    void setBusyCursor(bool busy);
    QSet<const QWidget*> windowsToBlock() const;

    QWidget* m_window;
    GuiThreadMessages m_messages;
    CancellableWork m_cancel;
    QTimer m_progressDue;
    std::unique_ptr<QProgressDialog> m_progress;
    QProgressBar* m_progressBar = nullptr;
    bool m_busyCursor = false;
    // The windows that ignore input while a step runs; none between steps.
    QSet<const QWidget*> m_blocked;
    // What the work told last, for the progress dialog; a showing of it is on its way while
    // m_stepPosted is set.
    std::mutex m_stepLock;
    Told m_told;
    std::atomic<bool> m_stepPosted{false};
};

template <typename Step>
auto ModalWork::run(const QString& stepText, Step step) -> decltype(step())
{
    using Result = decltype(step());
    if constexpr (std::is_void_v<Result>) {
        runOnWorker(stepText, step);
    } else {
        std::optional<Result> result;
        runOnWorker(stepText, [&result, &step] { result.emplace(step()); });
        return std::move(*result);
    }
}

template <typename Work>
auto ModalWork::runConnected(const QString& stepText, const QString& connectionString, Work work)
    -> decltype(work(std::declval<Database&>()))
{
    using Result = decltype(work(std::declval<Database&>()));
    return run(stepText, [&connectionString, &work]() -> Result {
        Database database;
        if (database.open(connectionString))
            return work(database);
        if constexpr (std::is_same_v<Result, Outcome>)
            return Outcome::failure(database.lastError());
        else
            return Result{Outcome::failure(database.lastError()), {}};
    });
}

} // namespace korvel
