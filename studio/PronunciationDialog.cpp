// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/PronunciationDialog.h"

#include "speech/Lexicon.h"
#include "studio/ReadingStrings.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace studio
{

namespace texts = studio::strings::reading;

namespace
{

speech::Lexicon Parse(const QString &text, const QString &path)
{
    speech::Lexicon lexicon;
    lexicon.Add(text, QFileInfo(path).fileName());
    return lexicon;
}

} // namespace

PronunciationDialog::PronunciationDialog(const QString &path, const QString &sample, const Voice &voice,
                                         speech::SpeechEngine::Environment environment, QWidget *parent)
    : QDialog(parent), path_(path), voice_(voice), environment_(std::move(environment))
{
    setWindowTitle(texts::DialogTitle);
    auto *layout = new QVBoxLayout(this);
    auto *explanation = new QLabel(texts::Explanation, this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    editor_ = new QPlainTextEdit(this);
    editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(editor_, 1);

    problems_ = new QLabel(this);
    problems_->setWordWrap(true);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(problems_);

    auto *tryRow = new QHBoxLayout;
    tryRow->addWidget(new QLabel(texts::SampleLabel, this));
    sample_ = new QLineEdit(sample, this);
    tryRow->addWidget(sample_, 1);
    try_ = new QPushButton(texts::TryButton, this);
    tryRow->addWidget(try_);
    layout->addLayout(tryRow);

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close, this);
    save_ = buttons->button(QDialogButtonBox::Save);
    // Enter in the sample tries it; saving takes a click of its own.
    for (QAbstractButton *b : buttons->buttons()) {
        if (auto *push = qobject_cast<QPushButton *>(b))
            push->setAutoDefault(false);
    }
    try_->setDefault(true);
    layout->addWidget(buttons);
    resize(560, 420);

    connect(editor_, &QPlainTextEdit::textChanged, this, &PronunciationDialog::ShowProblems);
    connect(try_, &QPushButton::clicked, this, &PronunciationDialog::Try);
    connect(save_, &QPushButton::clicked, this, &PronunciationDialog::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Load();
    ShowProblems();
}

PronunciationDialog::~PronunciationDialog() = default;

// A file that cannot be read, or is not UTF-8, is not shown and cannot be saved over: saving
// what this dialog shows would lose what the file holds.
void PronunciationDialog::Load()
{
    if (!QFileInfo::exists(path_))
        return;
    QFile file(path_);
    QString why;
    if (QFileInfo(path_).isDir() || !file.open(QIODevice::ReadOnly)) {
        why = QFileInfo(path_).isDir() ? QStringLiteral("it is a folder") : file.errorString();
    } else {
        const QByteArray data = file.readAll();
        QStringDecoder decoder(QStringConverter::Utf8);
        const QString text = decoder.decode(data);
        if (!decoder.hasError()) {
            editor_->setPlainText(text);
            return;
        }
        why = QStringLiteral("it is not UTF-8 text");
    }
    status_->setText(texts::ReadFailed.arg(QDir::toNativeSeparators(path_), why));
    editor_->setReadOnly(true);
    save_->setEnabled(false);
}

void PronunciationDialog::ShowProblems()
{
    const QStringList lines = Parse(editor_->toPlainText(), path_).ProblemLines();
    if (lines.isEmpty())
        problems_->setText(texts::NoProblems);
    else
        problems_->setText(texts::ProblemsHeading.arg(lines.size()) + QLatin1Char('\n') +
                           lines.join(QLatin1Char('\n')));
}

QString PronunciationDialog::ProblemsText() const
{
    return problems_->text();
}

QString PronunciationDialog::StatusText() const
{
    return status_->text();
}

void PronunciationDialog::Try()
{
    const QString sample = sample_->text();
    if (sample.trimmed().isEmpty()) {
        status_->setText(texts::NothingToTry);
        return;
    }
    if (!engine_)
        engine_ = std::make_unique<speech::SpeechEngine>(environment_);
    engine_->StopAudio();
    engine_->SelectVoiceMode(voice_.mode);
    engine_->SetSpeed(voice_.speed);
    engine_->SetPitch(voice_.pitch);
    engine_->SetLexicon(std::make_shared<const speech::Lexicon>(Parse(editor_->toPlainText(), path_)));
    engine_->SetReadingFilters(voice_.skip);
    status_->clear();
    engine_->Speak(sample);
}

bool PronunciationDialog::Save()
{
    const QString shown = QDir::toNativeSeparators(path_);
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        status_->setText(texts::SaveFailed.arg(shown, QStringLiteral("its folder cannot be made")));
        return false;
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(editor_->toPlainText().toUtf8()) < 0 ||
        !file.commit()) {
        status_->setText(texts::SaveFailed.arg(shown, file.errorString()));
        return false;
    }
    status_->setText(texts::Saved.arg(shown));
    Q_EMIT Saved();
    return true;
}

} // namespace studio
