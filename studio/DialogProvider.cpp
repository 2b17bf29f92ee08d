// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/DialogProvider.h"
#include "platform/gdi/Colour.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QStringList>

namespace studio {

namespace {

DialogProvider *g_current = nullptr;

QtDialogProvider &QtProvider()
{
    static QtDialogProvider provider;
    return provider;
}

QStringList NameFilters(const std::vector<FileFilter> &filters)
{
    QStringList names;
    for (const FileFilter &filter : filters)
        names.append(QtDialogProvider::NameFilter(filter));
    return names;
}

std::optional<FileDialogAnswer> RunFileDialog(const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(request.owner, request.title, request.initialFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList names = NameFilters(request.filters);
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
        const int index = request.filterIndex >= 1 && request.filterIndex <= names.size() ? request.filterIndex : 1;
        dialog.selectNameFilter(names.at(index - 1));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileDialogAnswer answer;
    answer.fileName = dialog.selectedFiles().constFirst();
    const qsizetype chosen = names.indexOf(dialog.selectedNameFilter());
    answer.filterIndex = chosen >= 0 ? int(chosen) + 1 : 1;
    return answer;
}

} // namespace

DialogProvider::~DialogProvider() = default;

DialogProvider &DialogProvider::Current()
{
    return g_current ? *g_current : QtProvider();
}

void DialogProvider::SetCurrent(DialogProvider *provider)
{
    g_current = provider;
}

std::vector<FileFilter> DialogProvider::ParseFilter(const QString &filter)
{
    std::vector<FileFilter> filters;
    if (filter.isEmpty())
        return filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.push_back({parts.at(i), parts.at(i + 1)});
    return filters;
}

QString QtDialogProvider::NameFilter(const FileFilter &filter)
{
    QString patterns = filter.pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    patterns = patterns.simplified();
    if (filter.description.trimmed().endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
        return filter.description;
    return filter.description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

std::optional<FileDialogAnswer> QtDialogProvider::GetOpenFileName(const FileDialogRequest &request)
{
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<FileDialogAnswer> QtDialogProvider::GetSaveFileName(const FileDialogRequest &request)
{
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

std::optional<std::uint32_t> QtDialogProvider::ChooseColour(QWidget *owner, std::uint32_t initial)
{
    const QColor colour = QColorDialog::getColor(QColor::fromRgb(gdi::ToQRgb(initial)), owner);
    if (!colour.isValid())
        return std::nullopt;
    return gdi::FromQColor(colour);
}

std::optional<FontChoice> QtDialogProvider::ChooseFont(QWidget *owner, const FontChoice &initial)
{
    QFont font(initial.name);
    if (initial.size > 0)
        font.setPointSizeF(initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikethrough);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, owner);
    if (!ok)
        return std::nullopt;
    return FontChoice{chosen.family(), chosen.pointSizeF(), chosen.bold(), chosen.italic(), chosen.underline(),
                      chosen.strikeOut()};
}

} // namespace studio
