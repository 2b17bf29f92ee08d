// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/HelpWindow.h"

#include "help/ChmBrowser.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace help
{

namespace
{

constexpr int PathRole = Qt::UserRole;
constexpr int LinksRole = Qt::UserRole + 1;

QStringList SplitNames(const QString &names)
{
    QStringList out;
    for (const QString &name : names.split(';', Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty())
            out.append(name.trimmed());
    }
    return out;
}

QVariant LinksToVariant(const HelpWindow::Links &links)
{
    QVariantList list;
    for (const auto &[title, path] : links)
        list.append(QStringList{title, path});
    return list;
}

HelpWindow::Links LinksFromVariant(const QVariant &value)
{
    HelpWindow::Links links;
    for (const QVariant &item : value.toList()) {
        const QStringList pair = item.toStringList();
        if (pair.size() == 2)
            links.emplace_back(pair[0], pair[1]);
    }
    return links;
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QMainWindow(parent), splitter_(new QSplitter(this)), tabs_(new QTabWidget(splitter_)),
      contents_(new QTreeWidget), indexText_(new QLineEdit), indexList_(new QListWidget),
      searchText_(new QLineEdit), searchResults_(new QListWidget), browser_(new ChmBrowser(splitter_))
{
    setObjectName("helpWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    // Help open beside the studio must not keep the program running once the studio closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Help"));

    contents_->setHeaderHidden(true);
    contents_->setObjectName("helpContents");
    tabs_->addTab(contents_, tr("&Contents"));

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexText_->setPlaceholderText(tr("Type in the keyword to find"));
    indexText_->setObjectName("helpIndexText");
    indexList_->setObjectName("helpIndex");
    auto *indexDisplay = new QPushButton(tr("&Display"));
    indexLayout->addWidget(indexText_);
    indexLayout->addWidget(indexList_);
    indexLayout->addWidget(indexDisplay, 0, Qt::AlignRight);
    tabs_->addTab(indexPage, tr("I&ndex"));

    auto *searchPage = new QWidget;
    auto *searchLayout = new QVBoxLayout(searchPage);
    auto *searchRow = new QHBoxLayout;
    searchText_->setPlaceholderText(tr("Type in the word(s) to search for"));
    searchText_->setObjectName("helpSearchText");
    auto *searchButton = new QPushButton(tr("&List Topics"));
    searchRow->addWidget(searchText_);
    searchRow->addWidget(searchButton);
    searchResults_->setObjectName("helpSearchResults");
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(searchResults_);
    tabs_->addTab(searchPage, tr("&Search"));

    splitter_->addWidget(tabs_);
    splitter_->addWidget(browser_);
    splitter_->setStretchFactor(1, 1);
    setCentralWidget(splitter_);

    QToolBar *bar = addToolBar(tr("Help"));
    bar->setMovable(false);
    QAction *back = bar->addAction(tr("Back"), browser_, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction *forward = bar->addAction(tr("Forward"), browser_, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    bar->addAction(tr("Home"), this, [this] { ShowTopic(DefaultTopic()); });
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);

    auto *options = new QMenu(tr("Options"), this);
    options->setObjectName("helpOptions");
    jumpUrl_ = options->addAction(tr("&Jump to URL..."), this, &HelpWindow::JumpUrl_triggered);
    jumpUrl_->setData(JumpUrlCommand);
    auto *optionsButton = new QToolButton(bar);
    optionsButton->setText(tr("Options"));
    optionsButton->setMenu(options);
    optionsButton->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(optionsButton);

    statusBar();

    connect(contents_, &QTreeWidget::itemActivated, this, &HelpWindow::Contents_itemActivated);
    connect(contents_, &QTreeWidget::itemClicked, this, &HelpWindow::Contents_itemActivated);
    connect(indexText_, &QLineEdit::textEdited, this, &HelpWindow::IndexText_textEdited);
    connect(indexText_, &QLineEdit::returnPressed, this,
            [this] { Index_itemActivated(indexList_->currentItem()); });
    connect(indexList_, &QListWidget::itemActivated, this, &HelpWindow::Index_itemActivated);
    connect(indexDisplay, &QPushButton::clicked, this,
            [this] { Index_itemActivated(indexList_->currentItem()); });
    connect(searchText_, &QLineEdit::returnPressed, this, &HelpWindow::SearchButton_clicked);
    connect(searchButton, &QPushButton::clicked, this, &HelpWindow::SearchButton_clicked);
    connect(searchResults_, &QListWidget::itemActivated, this, &HelpWindow::SearchResults_itemActivated);
    connect(browser_, &ChmBrowser::TopicShown, this, &HelpWindow::Browser_TopicShown);

    resize(800, 600);
}

void HelpWindow::SetFile(std::shared_ptr<const ChmFile> file, const std::optional<ChmWindowType> &type)
{
    file_ = std::move(file);
    type_ = type;
    search_.Clear();
    alinks_.clear();
    alinksRead_ = false;
    browser_->SetFile(file_);
    searchResults_->clear();

    const ChmSystemInfo &system = file_->System();
    QString caption = type ? type->caption : QString();
    if (caption.isEmpty())
        caption = system.title;
    if (caption.isEmpty())
        caption = file_->FileName().mid(file_->FileName().lastIndexOf('/') + 1);
    setWindowTitle(caption);

    if (type && type->position.isValid()) {
        resize(type->position.size());
        move(type->position.topLeft());
    }
    const int navigation = type && type->navigationWidth > 0 ? type->navigationWidth : 220;
    splitter_->setSizes({navigation, std::max(100, width() - navigation)});

    const QString contentsFile =
        type && !type->contentsFile.isEmpty() ? type->contentsFile : system.contentsFile;
    const QString indexFile = type && !type->indexFile.isEmpty() ? type->indexFile : system.indexFile;
    BuildContents(Sitemap::Parse(file_->Read(file_->ResolvePath(contentsFile)).value_or(QByteArray())));
    index_ = Sitemap::Parse(file_->Read(file_->ResolvePath(indexFile)).value_or(QByteArray()));
    BuildIndex(index_);
}

QString HelpWindow::DefaultTopic() const
{
    if (!file_)
        return {};
    for (const QString &candidate : {type_ ? type_->defaultFile : QString(),
                                     type_ ? type_->homeFile : QString(), file_->System().defaultTopic}) {
        const QString path = file_->ResolvePath(candidate);
        if (!path.isEmpty())
            return path;
    }
    const QStringList topics = file_->Topics();
    return topics.isEmpty() ? QString() : topics.first();
}

bool HelpWindow::ShowTopic(const QString &path)
{
    return browser_->ShowTopic(path);
}

QString HelpWindow::CurrentTopic() const
{
    return browser_->CurrentTopic();
}

void HelpWindow::ShowPane(Pane pane)
{
    tabs_->setCurrentIndex(int(pane));
    if (pane == Pane::Index)
        indexText_->setFocus();
    else if (pane == Pane::Search)
        searchText_->setFocus();
}

HelpWindow::Pane HelpWindow::CurrentPane() const
{
    return Pane(tabs_->currentIndex());
}

void HelpWindow::SetIndexText(const QString &text)
{
    indexText_->setText(text);
    IndexText_textEdited(text);
}

void HelpWindow::BuildContents(const std::vector<SitemapEntry> &entries)
{
    contents_->clear();
    contentsByPath_.clear();
    std::vector<QTreeWidgetItem *> parents; // by depth
    for (const auto &[entry, depth] : Sitemap::Flatten(entries)) {
        parents.resize(std::size_t(depth));
        auto *item = parents.empty() ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
        item->setText(0, entry->name);
        if (!entry->links.empty()) {
            const QString path = file_->ResolvePath(entry->links.front().second);
            item->setData(0, PathRole, path);
            if (!path.isEmpty() && !contentsByPath_.count(path.toLower()))
                contentsByPath_.emplace(path.toLower(), item);
        }
        parents.push_back(item);
    }
    contents_->expandAll();
}

void HelpWindow::BuildIndex(const std::vector<SitemapEntry> &entries)
{
    indexList_->clear();
    for (const auto &[entry, depth] : Sitemap::Flatten(entries)) {
        auto *item = new QListWidgetItem(QString(depth * 4, ' ') + entry->name, indexList_);
        item->setData(PathRole, entry->name);
        item->setData(LinksRole, LinksToVariant(entry->links));
    }
}

HelpWindow::Links HelpWindow::KeywordLinks(const QString &keywords) const
{
    Links links;
    const QStringList wanted = SplitNames(keywords);
    for (const auto &[entry, depth] : Sitemap::Flatten(index_)) {
        Q_UNUSED(depth);
        for (const QString &keyword : wanted) {
            if (entry->name.compare(keyword, Qt::CaseInsensitive) != 0)
                continue;
            for (const auto &[title, local] : entry->links) {
                const QString path = file_->ResolvePath(local);
                const bool known =
                    std::any_of(links.begin(), links.end(), [&](const auto &l) { return l.second == path; });
                if (!path.isEmpty() && !known)
                    links.emplace_back(title, path);
            }
        }
    }
    return links;
}

HelpWindow::Links HelpWindow::ALinkLinks(const QString &names)
{
    if (!alinksRead_ && file_) {
        // Pages declare their associative-link names in a help control object in the page.
        static const QRegularExpression param(
            R"re(<param\s+name\s*=\s*"ALink Name"\s+value\s*=\s*"([^"]*)")re",
            QRegularExpression::CaseInsensitiveOption);
        for (const QString &path : file_->Topics()) {
            const auto data = file_->Read(path);
            if (!data)
                continue;
            auto it = param.globalMatch(ChmFile::DecodeText(*data));
            while (it.hasNext()) {
                for (const QString &name : SplitNames(it.next().captured(1)))
                    alinks_[name.toLower()].push_back(path);
            }
        }
        alinksRead_ = true;
    }
    Links links;
    for (const QString &name : SplitNames(names)) {
        const auto found = alinks_.find(name.toLower());
        if (found == alinks_.end())
            continue;
        for (const QString &path : found->second)
            links.emplace_back(file_->TopicTitle(path), path);
    }
    return links;
}

void HelpWindow::ShowLinks(const Links &links)
{
    if (links.empty())
        return;
    ShowTopic(links.front().second);
    if (links.size() == 1)
        return;
    // Several topics: show the first and offer the others, as a menu that does not block.
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setTitle(tr("Topics Found"));
    for (const auto &[title, path] : links) {
        const QString target = path;
        menu->addAction(title, this, [this, target] { ShowTopic(target); });
    }
    menu->popup(mapToGlobal(browser_->geometry().topLeft()));
    ShowStatus(tr("%1 topics found").arg(links.size()));
}

std::vector<FullTextSearch::Hit> HelpWindow::RunSearch(const QString &query, bool titlesOnly)
{
    searchResults_->clear();
    if (!file_)
        return {};
    if (!search_.IsBuilt())
        search_.Build(*file_);
    const auto hits = search_.Search(query, titlesOnly);
    for (const auto &hit : hits) {
        auto *item = new QListWidgetItem(hit.title, searchResults_);
        item->setData(PathRole, hit.path);
    }
    ShowStatus(hits.empty() ? tr("No topics found") : tr("%1 topics found").arg(hits.size()));
    return hits;
}

bool HelpWindow::RemoveJumpUrlItem()
{
    if (!jumpUrl_)
        return false;
    delete jumpUrl_;
    jumpUrl_ = nullptr;
    return true;
}

void HelpWindow::ShowStatus(const QString &text)
{
    statusBar()->showMessage(text, 8000);
}

void HelpWindow::Contents_itemActivated(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString path = item->data(0, PathRole).toString();
    if (!path.isEmpty())
        ShowTopic(path);
}

void HelpWindow::IndexText_textEdited(const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return;
    for (int row = 0; row < indexList_->count(); ++row) {
        QListWidgetItem *item = indexList_->item(row);
        if (item->data(PathRole).toString().startsWith(wanted, Qt::CaseInsensitive)) {
            indexList_->setCurrentItem(item);
            indexList_->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpWindow::Index_itemActivated(QListWidgetItem *item)
{
    if (!item)
        return;
    Links links;
    for (const auto &[title, local] : LinksFromVariant(item->data(LinksRole))) {
        const QString path = file_ ? file_->ResolvePath(local) : QString();
        if (!path.isEmpty())
            links.emplace_back(title, path);
    }
    ShowLinks(links);
}

void HelpWindow::SearchButton_clicked()
{
    RunSearch(searchText_->text());
}

void HelpWindow::SearchResults_itemActivated(QListWidgetItem *item)
{
    if (item)
        ShowTopic(item->data(PathRole).toString());
}

void HelpWindow::Browser_TopicShown(const QString &path)
{
    const auto found = contentsByPath_.find(path.toLower());
    if (found != contentsByPath_.end()) {
        const QSignalBlocker block(contents_);
        contents_->setCurrentItem(found->second);
    }
}

void HelpWindow::JumpUrl_triggered()
{
    bool ok = false;
    const QString address =
        QInputDialog::getText(this, tr("Jump to URL"), tr("Address:"), QLineEdit::Normal, QString(), &ok);
    if (!ok || address.trimmed().isEmpty())
        return;
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (ChmBrowser::IsExternal(url) && !address.contains("::"))
        Q_EMIT browser_->anchorClicked(url);
    else if (!ShowTopic(address.trimmed()))
        ShowStatus(tr("%1 is not in this help file").arg(address.trimmed()));
}

} // namespace help
