// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace help
{

// One entry of a contents (.hhc) or index (.hhk) file.
struct SitemapEntry {
    QString name;
    // The topics the entry leads to, as (title, path inside the help file). A contents entry has
    // at most one; an index keyword may list several.
    std::vector<std::pair<QString, QString>> links;
    QString seeAlso;
    std::vector<SitemapEntry> children;
};

// Reads the HTML "sitemap" lists that contents and index files are written in: nested <ul>
// lists whose <li> items carry <object type="text/sitemap"> with Name / Local parameters.
class Sitemap
{
  public:
    // Nesting deeper than this is flattened into the deepest level, so a hostile file cannot
    // make the readers of the tree recurse without bound.
    static constexpr int MaxDepth = 32;

    static std::vector<SitemapEntry> Parse(const QByteArray &html);
    // Every entry of a tree in reading order, with its depth.
    static std::vector<std::pair<const SitemapEntry *, int>> Flatten(const std::vector<SitemapEntry> &tree);
};

} // namespace help
