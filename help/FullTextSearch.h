// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace help
{

class ChmFile;

// Full-text search over the pages of one help file. The pages are read and reduced to plain text
// once, when the index is built; a query then lists the pages that hold every one of its words.
class FullTextSearch
{
  public:
    struct Hit {
        QString path;
        QString title;
        int occurrences = 0;
    };

    void Build(const ChmFile &file);
    bool IsBuilt() const { return built_; }
    void Clear();

    // Words are letters and digits; case is ignored. Hits come most occurrences first, then by
    // title. With titlesOnly only the page titles are searched.
    std::vector<Hit> Search(const QString &query, bool titlesOnly = false) const;

    static QStringList Words(const QString &text);

  private:
    struct Page {
        QString path;
        QString title;
        QString text; // lower case
        QString titleLower;
    };
    std::vector<Page> pages_;
    bool built_ = false;
};

} // namespace help
