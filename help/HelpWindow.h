// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "help/ChmFile.h"
#include "help/FullTextSearch.h"
#include "help/Sitemap.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace help
{

class ChmBrowser;

// The help viewer's window: navigation tabs (contents, index, search) beside the page pane.
class HelpWindow : public QMainWindow
{
    Q_OBJECT
  public:
    enum class Pane { Contents = 0, Index = 1, Search = 2 };
    // Command number of the "Jump to URL..." menu item.
    static constexpr int JumpUrlCommand = 0xEFFF;
    using Links = std::vector<std::pair<QString, QString>>; // (title, path)

    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows a help file: its contents and index, and the title, size and navigation width of the
    // window type (or of the file's defaults when there is none).
    void SetFile(std::shared_ptr<const ChmFile> file, const std::optional<ChmWindowType> &type);
    std::shared_ptr<const ChmFile> File() const { return file_; }
    // Name of the window type in use, empty for the file's defaults.
    QString TypeName() const { return type_ ? type_->name : QString(); }

    bool ShowTopic(const QString &path);
    QString CurrentTopic() const;
    // The page the window type (or the file) names as its default.
    QString DefaultTopic() const;

    void ShowPane(Pane pane);
    Pane CurrentPane() const;
    void SetIndexText(const QString &text);
    std::vector<FullTextSearch::Hit> RunSearch(const QString &query, bool titlesOnly = false);

    // Topics the index lists under a keyword (case ignored); several keywords separated by ";".
    Links KeywordLinks(const QString &keywords) const;
    // Topics that declare one of the associative-link names (";"-separated).
    Links ALinkLinks(const QString &names);
    // Shows one topic, or offers a choice when there are several.
    void ShowLinks(const Links &links);

    bool RemoveJumpUrlItem();
    void ShowStatus(const QString &text);

    ChmBrowser *Browser() const { return browser_; }
    QTreeWidget *ContentsTree() const { return contents_; }
    QListWidget *IndexList() const { return indexList_; }
    QListWidget *SearchResults() const { return searchResults_; }
    QLineEdit *SearchText() const { return searchText_; }

  private:
    void BuildContents(const std::vector<SitemapEntry> &entries);
    void BuildIndex(const std::vector<SitemapEntry> &entries);
    void Contents_itemActivated(QTreeWidgetItem *item);
    void IndexText_textEdited(const QString &text);
    void Index_itemActivated(QListWidgetItem *item);
    void SearchButton_clicked();
    void SearchResults_itemActivated(QListWidgetItem *item);
    void Browser_TopicShown(const QString &path);
    void JumpUrl_triggered();

    std::shared_ptr<const ChmFile> file_;
    std::optional<ChmWindowType> type_;
    std::vector<SitemapEntry> index_;
    std::map<QString, std::vector<QString>> alinks_; // lower-case name → paths
    bool alinksRead_ = false;
    std::map<QString, QTreeWidgetItem *> contentsByPath_;
    FullTextSearch search_;

    QSplitter *splitter_;
    QTabWidget *tabs_;
    QTreeWidget *contents_;
    QLineEdit *indexText_;
    QListWidget *indexList_;
    QLineEdit *searchText_;
    QListWidget *searchResults_;
    ChmBrowser *browser_;
    QAction *jumpUrl_;
};

} // namespace help
