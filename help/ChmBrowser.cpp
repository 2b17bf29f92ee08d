// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ChmBrowser.h"

#include "help/ChmFile.h"

#include <QDesktopServices>

namespace help
{

namespace
{

ChmBrowser::ExternalOpener &Opener()
{
    static ChmBrowser::ExternalOpener opener;
    return opener;
}

} // namespace

ChmBrowser::ChmBrowser(QWidget *parent) : QTextBrowser(parent)
{
    // Links are followed here, so that nothing inside the help file is taken for a local file
    // and nothing outside it is shown in this pane.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::FollowLink);
    connect(this, &QTextBrowser::sourceChanged, this,
            [this](const QUrl &url) { Q_EMIT TopicShown(url.path()); });
}

void ChmBrowser::SetFile(std::shared_ptr<const ChmFile> file)
{
    file_ = std::move(file);
    current_.clear();
    clearHistory();
    clear();
}

QUrl ChmBrowser::TopicUrl(const QString &path)
{
    QUrl url;
    url.setScheme(Scheme);
    const qsizetype hash = path.indexOf('#');
    QString plain = hash >= 0 ? path.left(hash) : path;
    if (!plain.startsWith('/'))
        plain.prepend('/');
    url.setPath(plain);
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

bool ChmBrowser::IsExternal(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto" ||
           scheme == "news" || scheme == "file";
}

void ChmBrowser::SetExternalOpener(ExternalOpener opener)
{
    Opener() = std::move(opener);
}

bool ChmBrowser::ShowTopic(const QString &path)
{
    if (!file_)
        return false;
    const QString resolved = file_->ResolvePath(path);
    if (resolved.isEmpty())
        return false;
    QUrl url = TopicUrl(resolved);
    const qsizetype hash = path.indexOf('#');
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    setSource(url, QTextDocument::HtmlResource);
    return true;
}

QString ChmBrowser::CurrentTopic() const
{
    return source().isEmpty() ? QString() : source().path();
}

QVariant ChmBrowser::loadResource(int type, const QUrl &name)
{
    if (!file_)
        return {};
    QUrl url = name;
    // A page is always asked for by its full address; what it refers to (style sheets, images)
    // resolves against it, whichever way the browser arrived at the page (links, history).
    if (type == QTextDocument::HtmlResource && url.scheme() == Scheme)
        current_ = url.adjusted(QUrl::RemoveFragment);
    if (url.isRelative())
        url = current_.isEmpty() ? TopicUrl(name.path()) : current_.resolved(name);
    if (IsExternal(url))
        return {};
    const QString path = file_->ResolvePath(url.scheme() == Scheme ? url.path() : url.toString());
    if (path.isEmpty()) {
        if (type == QTextDocument::HtmlResource) {
            return QStringLiteral("<html><body><h2>Page not found</h2><p>%1 is not in this help file.</p>"
                                  "</body></html>")
                .arg(url.path().toHtmlEscaped());
        }
        return {};
    }
    const auto data = file_->Read(path);
    if (!data)
        return {};
    if (type == QTextDocument::StyleSheetResource)
        return ChmFile::DecodeText(*data);
    return *data;
}

void ChmBrowser::FollowLink(const QUrl &link)
{
    if (IsExternal(link)) {
        if (Opener())
            Opener()(link);
        else
            QDesktopServices::openUrl(link);
        return;
    }
    if (link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    QUrl target = link.isRelative() ? (source().isEmpty() ? current_ : source()).resolved(link) : link;
    if (target.scheme() != Scheme) {
        // "ms-its:file.chm::/page.htm" and the like: the part after "::" is the page.
        const QString inside = file_ ? file_->ResolvePath(target.toString()) : QString();
        if (inside.isEmpty())
            return;
        QUrl url = TopicUrl(inside);
        url.setFragment(target.fragment());
        target = url;
    }
    setSource(target, QTextDocument::HtmlResource);
}

} // namespace help
