// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <deque>
#include <vector>

namespace services
{

// Button sets, icons and default-button choice, combined with | as the callers always did.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = MB_ICONSTOP,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,
};

// The answer: which button closed the box.
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// A modal message box. The shipped program shows a QMessageBox; unit tests install a
// RecordingMessageBox so they can see what would have been asked and script the answer.
class MessageBox
{
  public:
    virtual ~MessageBox();
    virtual int Show(const QString &text, const QString &title, unsigned flags) = 0;

    static MessageBox &Current();
    // The program's warning: the text with an exclamation icon and an OK button, through the
    // current box.
    static void Warn(const QString &text, const QString &title);
    // nullptr restores the real (QMessageBox) one. The caller keeps ownership of `box`.
    static void SetCurrent(MessageBox *box);

    // The button IDs a flag combination offers, in display order (left to right).
    static std::vector<int> Buttons(unsigned flags);
    // The button that Enter presses: the first one unless MB_DEFBUTTON2/3 picks another.
    static int DefaultButton(unsigned flags);
};

// The real one: a QMessageBox parented to the active window. Without a GUI application (the
// command-line tool) it prints the message to standard error and answers the default button.
class QtMessageBox : public MessageBox
{
  public:
    int Show(const QString &text, const QString &title, unsigned flags) override;
};

// Test double: records every call and answers from `answers` (front first). When the script runs
// out it answers IDOK, or IDYES where the box has Yes/No buttons.
class RecordingMessageBox : public MessageBox
{
  public:
    struct Call {
        QString text, title;
        unsigned flags;
    };
    std::vector<Call> calls;
    std::deque<int> answers;
    int Show(const QString &text, const QString &title, unsigned flags) override;
};

} // namespace services
