// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>

#include <functional>
#include <memory>

namespace help
{

class ChmFile;

// The page pane of the help window: shows pages of one help file, loads their style sheets and
// images from inside it, follows internal links itself and hands external ones (web, mail) to
// the desktop.
class ChmBrowser : public QTextBrowser
{
    Q_OBJECT
  public:
    // Pages are addressed as chm:/path-inside-the-file.
    static constexpr const char *Scheme = "chm";

    explicit ChmBrowser(QWidget *parent = nullptr);

    void SetFile(std::shared_ptr<const ChmFile> file);
    // Shows a page by its path inside the file (an "#anchor" is kept). False when there is none.
    bool ShowTopic(const QString &path);
    // The path inside the file of the page shown, empty when none.
    QString CurrentTopic() const;

    static QUrl TopicUrl(const QString &path);
    // True for links that leave the help file: web, mail, news and the like.
    static bool IsExternal(const QUrl &url);

    // Who opens external links; the desktop browser unless a test replaced it.
    using ExternalOpener = std::function<void(const QUrl &)>;
    static void SetExternalOpener(ExternalOpener opener);

    QVariant loadResource(int type, const QUrl &name) override;

  Q_SIGNALS:
    void TopicShown(const QString &path);

  private:
    void FollowLink(const QUrl &link);

    std::shared_ptr<const ChmFile> file_;
    QUrl current_;
};

} // namespace help
