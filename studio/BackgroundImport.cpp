// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/BackgroundImport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>

#include <atomic>
#include <mutex>

namespace studio
{

struct BackgroundImport::Wait {
    std::stop_source stop;
    std::atomic<bool> finished{false};
    std::mutex mutex;
    std::optional<documents::DocumentText> result; // under mutex
    // Window-thread side.
    QEventLoop *loop = nullptr;
    bool abandoned = false;
    bool woken = false;
};

namespace
{

// The user's input, which a busy window does not take.
bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        return true;
    default:
        return false;
    }
}

} // namespace

BackgroundImport::BackgroundImport(QObject *parent) : QObject(parent) {}

BackgroundImport::~BackgroundImport()
{
    Abandon();
    if (!waits_.empty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    // std::jthread asks for a stop and joins as each worker goes.
    workers_.clear();
}

std::optional<documents::DocumentText> BackgroundImport::Run(Reader reader)
{
    JoinFinished();
    // A new document replaces whatever was still on its way.
    Abandon();

    auto wait = std::make_shared<Wait>();
    Worker &worker = workers_.emplace_back();
    worker.wait = wait;
    worker.thread = std::jthread([this, wait, reader = std::move(reader)](std::stop_token) {
        documents::DocumentText text = reader(wait->stop.get_token());
        {
            const std::lock_guard lock(wait->mutex);
            wait->result = std::move(text);
        }
        wait->finished = true;
        // Queued to the window's thread. This object outlives the thread: its destructor joins it.
        QMetaObject::invokeMethod(this, &BackgroundImport::Wake, Qt::QueuedConnection);
    });
    // The thread's own stop (asked by jthread when destroyed) reaches the reader too.
    std::stop_callback forward(worker.thread.get_stop_token(), [wait] { wait->stop.request_stop(); });

    QEventLoop loop;
    wait->loop = &loop;
    waits_.push_back(wait);
    if (waits_.size() == 1)
        QCoreApplication::instance()->installEventFilter(this);
    while (!wait->finished && !wait->abandoned) {
        wait->woken = false;
        loop.exec();
        // The loop ended without being told why: the application is quitting.
        if (!wait->woken && !wait->finished && !wait->abandoned) {
            wait->abandoned = true;
            wait->stop.request_stop();
        }
    }
    wait->loop = nullptr;
    std::erase(waits_, wait);
    if (waits_.empty())
        QCoreApplication::instance()->removeEventFilter(this);
    if (wait->abandoned)
        return std::nullopt;
    const std::lock_guard lock(wait->mutex);
    return std::move(wait->result);
}

void BackgroundImport::Abandon()
{
    for (const std::shared_ptr<Wait> &wait : waits_) {
        if (wait->abandoned)
            continue;
        wait->abandoned = true;
        wait->stop.request_stop();
        if (wait->loop) {
            wait->woken = true;
            wait->loop->quit();
        }
    }
}

void BackgroundImport::Wake()
{
    for (const std::shared_ptr<Wait> &wait : waits_)
        if (wait->finished && wait->loop) {
            wait->woken = true;
            wait->loop->quit();
        }
    JoinFinished();
}

void BackgroundImport::JoinFinished()
{
    // A finished reader's thread only has its last few instructions left: joining is immediate.
    workers_.remove_if([](const Worker &worker) { return worker.wait->finished.load(); });
}

bool BackgroundImport::eventFilter(QObject *watched, QEvent *event)
{
    if (waits_.empty() || !IsUserInput(event->type()))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        Abandon();
    return true;
}

} // namespace studio
