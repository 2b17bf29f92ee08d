// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace studio
{

class Main;

// Opens files given on the command line into the studio window: the studio's own first file, and
// files that later starts hand over through the single-instance socket (which also raises the
// window). Text the user typed or pasted is never replaced without asking first.
class FileHandOver : public QObject
{
    Q_OBJECT
  public:
    explicit FileHandOver(Main *window, QObject *parent = nullptr);

    // The single-instance message that hands `path` (made absolute against the current folder)
    // to the running studio, and the path such a message carries (nothing for other messages,
    // such as the empty one of a plain second start).
    static QString Message(const QString &path);
    static std::optional<QString> PathIn(const QString &message);

    // Opens `path` as Open File would, with the filter its extension names, after asking
    // whether to replace typed text.
    void Open(const QString &path);
    // A message from a later start: raises the window and opens the file it names.
    void Receive(const QString &message);

    // True when the editor holds text that did not come from an opened document (or that the
    // user has changed since).
    bool HoldsTypedText() const;

  private:
    Main *window_;
    // A file handed over while the question about an earlier one is open waits here; only the
    // latest is kept.
    std::optional<QString> pending_;
    bool asking_ = false;
};

} // namespace studio
