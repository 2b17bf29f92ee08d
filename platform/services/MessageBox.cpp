// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

namespace services
{

namespace
{

MessageBox *currentBox = nullptr;

QMessageBox::StandardButton ToStandard(int id)
{
    switch (id) {
    case IDOK:
        return QMessageBox::Ok;
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDABORT:
        return QMessageBox::Abort;
    case IDRETRY:
        return QMessageBox::Retry;
    case IDIGNORE:
        return QMessageBox::Ignore;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::NoButton;
    }
}

int FromStandard(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return 0;
    }
}

QMessageBox::Icon ToIcon(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

MessageBox::~MessageBox() = default;

void MessageBox::Warn(const QString &text, const QString &title)
{
    Current().Show(text, title, MB_OK | MB_ICONEXCLAMATION);
}

MessageBox &MessageBox::Current()
{
    static QtMessageBox real;
    return currentBox ? *currentBox : real;
}

void MessageBox::SetCurrent(MessageBox *box)
{
    currentBox = box;
}

std::vector<int> MessageBox::Buttons(unsigned flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int MessageBox::DefaultButton(unsigned flags)
{
    const std::vector<int> buttons = Buttons(flags);
    std::size_t index = 0;
    if ((flags & MB_DEFMASK) == MB_DEFBUTTON2)
        index = 1;
    else if ((flags & MB_DEFMASK) == MB_DEFBUTTON3)
        index = 2;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int QtMessageBox::Show(const QString &text, const QString &title, unsigned flags)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
        return DefaultButton(flags);
    }

    QMessageBox box(ToIcon(flags), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    const std::vector<int> ids = Buttons(flags);
    for (int id : ids)
        box.addButton(ToStandard(id));
    box.setDefaultButton(ToStandard(DefaultButton(flags)));
    // Escape means Cancel where there is one; a lone OK button closes with Escape too.
    const bool hasCancel = std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end();
    if (hasCancel)
        box.setEscapeButton(ToStandard(IDCANCEL));
    else if (ids.size() == 1)
        box.setEscapeButton(ToStandard(ids.front()));
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    const int answer = clicked ? FromStandard(box.standardButton(clicked)) : 0;
    if (answer != 0)
        return answer;
    // Closed through the window manager without a button: the same as Escape would have been.
    return hasCancel ? IDCANCEL : DefaultButton(flags);
}

int RecordingMessageBox::Show(const QString &text, const QString &title, unsigned flags)
{
    calls.push_back({text, title, flags});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    const unsigned type = flags & MB_TYPEMASK;
    return (type == MB_YESNO || type == MB_YESNOCANCEL) ? IDYES : IDOK;
}

} // namespace services
