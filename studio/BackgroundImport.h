// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "studio/documents/DocumentText.h"

#include <QObject>

#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace studio
{

// Reads a document on a thread of its own while the window's thread goes on painting. The caller
// waits as it always did (Run returns with the document), but meanwhile the windows repaint and
// timers run; the user's input is held off (dropped, as it would be by a window too busy to
// take it), except Escape, which abandons the wait.
class BackgroundImport : public QObject
{
    Q_OBJECT
  public:
    // Reads the document; `stop` is requested when the wait is abandoned. A function of the file
    // alone: it must touch no window.
    using Reader = std::function<documents::DocumentText(std::stop_token stop)>;

    explicit BackgroundImport(QObject *parent = nullptr);
    // Abandons what still runs and waits for those threads to end (each reader's work is bounded).
    ~BackgroundImport() override;

    // Runs `reader` off this thread and returns its result, or nothing when the wait was
    // abandoned (Escape, Abandon, a later Run, or the application quitting). An abandoned
    // reader is asked to stop and its result is thrown away.
    std::optional<documents::DocumentText> Run(Reader reader);

    // Abandons every wait in progress.
    void Abandon();
    bool Waiting() const { return !waits_.empty(); }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    struct Wait;
    // A reader's thread and whether it has finished, so that finished ones can be joined.
    struct Worker {
        std::shared_ptr<Wait> wait;
        std::jthread thread;
    };
    void Wake();
    void JoinFinished();

    std::vector<std::shared_ptr<Wait>> waits_; // innermost last
    std::list<Worker> workers_;
};

} // namespace studio
