// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace studio
{

// A small editor for the studio's pronunciation rules file. It shows which lines are not rules
// as they are typed, speaks a sample with the rules as they stand ("Try", before anything is
// saved), and saves the file whole (a failed save leaves the file as it was and the text here).
class PronunciationDialog : public QDialog
{
    Q_OBJECT
  public:
    // What Try speaks with: the studio's voice, speed and pitch, and its reading filters.
    struct Voice {
        int mode = 0;
        int speed = 150;
        int pitch = 170;
        unsigned skip = 0;
    };

    // `path` is the rules file; it need not exist yet. Try speaks through an engine of its own,
    // made from `environment`.
    PronunciationDialog(const QString &path, const QString &sample, const Voice &voice,
                        speech::SpeechEngine::Environment environment, QWidget *parent = nullptr);
    ~PronunciationDialog() override;

    QPlainTextEdit *Editor() const { return editor_; }
    QLineEdit *Sample() const { return sample_; }
    QPushButton *TryButton() const { return try_; }
    QPushButton *SaveButton() const { return save_; }
    // The lines that are not rules, or that every line is one.
    QString ProblemsText() const;
    // What the last Try or Save said.
    QString StatusText() const;
    // The engine Try speaks with; none before the first Try.
    speech::SpeechEngine *TryEngine() const { return engine_.get(); }

    void Try();
    bool Save();

  Q_SIGNALS:
    // The file was written: whoever reads it should read it again.
    void Saved();

  private:
    void Load();
    void ShowProblems();

    QString path_;
    Voice voice_;
    speech::SpeechEngine::Environment environment_;
    std::unique_ptr<speech::SpeechEngine> engine_;
    QPlainTextEdit *editor_ = nullptr;
    QLineEdit *sample_ = nullptr;
    QPushButton *try_ = nullptr;
    QPushButton *save_ = nullptr;
    QLabel *problems_ = nullptr;
    QLabel *status_ = nullptr;
};

} // namespace studio
