// SPDX-License-Identifier: GPL-3.0-or-later
// A borderless window painted by the window skin, with its caption buttons, a caption label and
// the skinned controls, for looking at the skin and taking screenshots (Xvfb included).
//
//   orvena-skin-demo [--pos X,Y] [--size W,H] [--grab FILE.png]
//
// --grab renders the window into a PNG once it is shown and quits (works offscreen too).
// Drag the title band to move the window; the close button quits, the minimise button minimises.
#include "controls/UcCmd.h"
#include "controls/UcProgress.h"
#include "controls/UcScroll.h"
#include "platform/ui/Form.h"
#include "skin/ClsSkin.h"
#include "skin/HostControls.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

constexpr const char *WindowCaption = "Orvena Skin Demo";

bool ParsePair(const QString &text, int &a, int &b)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    bool okA = false;
    bool okB = false;
    a = parts[0].trimmed().toInt(&okA);
    b = parts[1].trimmed().toInt(&okB);
    return okA && okB;
}

controls::UcCmd *AddButton(ui::Form &form, const QString &name, int style, const QString &caption = QString())
{
    auto *button = new controls::UcCmd(&form);
    button->setObjectName(name);
    form.AddControl(button, name);
    button->InitNew();
    button->SetStyle(style);
    if (!caption.isEmpty())
        button->SetCaption(caption);
    return button;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvena-skin-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A borderless window drawn by the Orvena skin."));
    parser.addHelpOption();
    const QCommandLineOption posOption(QStringLiteral("pos"), QStringLiteral("Window position."), QStringLiteral("X,Y"),
                                       QStringLiteral("100,100"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Client size in pixels."),
                                        QStringLiteral("W,H"), QStringLiteral("520,360"));
    const QCommandLineOption grabOption(QStringLiteral("grab"), QStringLiteral("Save the window as PNG and quit."),
                                        QStringLiteral("FILE"));
    parser.addOptions({posOption, sizeOption, grabOption});
    parser.process(app);

    int x = 0, y = 0, w = 0, h = 0;
    if (!ParsePair(parser.value(posOption), x, y) || !ParsePair(parser.value(sizeOption), w, h) || w < 1 || h < 1) {
        std::fprintf(stderr, "orvena-skin-demo: --pos and --size take two numbers, as in --size 520,360\n");
        return 2;
    }

    ui::Form form;
    form.SetBorderStyle(ui::vbBSNone);
    form.SetCaption(QString::fromLatin1(WindowCaption));
    form.setGeometry(x, y, w, h);

    // The caption label sits in the title band, clear of the top-left corner's ornament.
    auto *caption = new QLabel(&form);
    caption->setObjectName(QStringLiteral("LblCaption"));
    skin::SetControlTag(caption, QString::fromLatin1(skin::ClsSkin::TagCaption));
    QFont captionFont = caption->font();
    captionFont.setBold(true);
    caption->setFont(captionFont);
    caption->setGeometry(80, 6, 220, 16);
    form.AddControl(caption, QStringLiteral("LblCaption"));

    controls::UcCmd *close = AddButton(form, QStringLiteral("UcCmd1"), controls::UcCmd::StyleClose);
    close->setToolTip(QStringLiteral("Close"));
    controls::UcCmd *minimise = AddButton(form, QStringLiteral("UcCmd2"), controls::UcCmd::StyleMinimise);
    minimise->setToolTip(QStringLiteral("Minimize Window"));

    controls::UcCmd *push = AddButton(form, QStringLiteral("cmdPush"), controls::UcCmd::StylePush, QStringLiteral("PUSH"));
    push->move(40, 60);
    controls::UcCmd *check = AddButton(form, QStringLiteral("chkDemo"), controls::UcCmd::StyleCheck,
                                       QStringLiteral("Check box"));
    check->move(40, 100);
    controls::UcCmd *optionA = AddButton(form, QStringLiteral("optA"), controls::UcCmd::StyleOption,
                                         QStringLiteral("Option A"));
    optionA->move(40, 130);
    controls::UcCmd *optionB = AddButton(form, QStringLiteral("optB"), controls::UcCmd::StyleOption,
                                         QStringLiteral("Option B"));
    optionB->move(40, 155);
    optionA->SetValue(true);

    // Scroll bars and progress bars on the right-hand side and in the lower part; each scroll bar
    // drives the progress bar beside it.
    auto addScroll = [&form](const QString &name, std::int16_t orientation, QRect box) {
        auto *bar = new controls::UcScroll(&form);
        form.AddControl(bar, name);
        bar->InitNew();
        bar->SetOrientation(orientation);
        bar->setGeometry(box);
        return bar;
    };
    auto addProgress = [&form](const QString &name, std::int16_t orientation, QRect box, int value) {
        auto *bar = new controls::UcProgress(&form);
        form.AddControl(bar, name);
        bar->InitNew();
        bar->SetOrientation(orientation);
        bar->setGeometry(box);
        bar->SetValue(value);
        return bar;
    };
    controls::UcScroll *hScroll = addScroll(QStringLiteral("scrSpeed"), 0, QRect(40, 210, 300, 23));
    controls::UcScroll *vScroll = addScroll(QStringLiteral("scrPitch"), 1, QRect(400, 60, 23, 220));
    controls::UcProgress *hProgress = addProgress(QStringLiteral("prgHorizontal"), 0, QRect(40, 260, 300, 14), 65);
    controls::UcProgress *vProgress = addProgress(QStringLiteral("prgVertical"), 1, QRect(450, 60, 14, 220), 40);
    hScroll->SetValue(65);
    vScroll->SetValue(60);
    QObject::connect(hScroll, &controls::UcScroll::Change, hProgress, [=] { hProgress->SetValue(hScroll->Value()); });
    QObject::connect(vScroll, &controls::UcScroll::Change, vProgress, [=] { vProgress->SetValue(100 - vScroll->Value()); });

    auto *status = new QLabel(&form);
    status->setObjectName(QStringLiteral("lblStatus"));
    QPalette statusPalette = status->palette();
    statusPalette.setColor(QPalette::WindowText, Qt::white);
    status->setPalette(statusPalette);
    status->setGeometry(160, 64, 200, 16);
    form.AddControl(status, QStringLiteral("lblStatus"));
    int pushes = 0;
    QObject::connect(push, &controls::UcCmd::Click, &form,
                     [&] { status->setText(QStringLiteral("PUSH clicked %1 time(s)").arg(++pushes)); });

    skin::ClsSkin skinObject;
    skinObject.SetTheForm(&form);
    skinObject.SetFrmPict();

    QObject::connect(close, &controls::UcCmd::Click, &form, [&] { form.CloseFromCode(); });
    QObject::connect(minimise, &controls::UcCmd::Click, &form, [&] { form.SetWindowState(ui::vbMinimized); });

    form.show();

    int result = 0;
    if (parser.isSet(grabOption)) {
        const QString file = parser.value(grabOption);
        QTimer::singleShot(200, &form, [&] {
            if (!form.grab().save(file, "PNG")) {
                std::fprintf(stderr, "orvena-skin-demo: cannot write %s\n", qPrintable(file));
                result = 1;
            }
            QApplication::quit();
        });
    }
    const int exitCode = QApplication::exec();
    return result != 0 ? result : exitCode;
}
