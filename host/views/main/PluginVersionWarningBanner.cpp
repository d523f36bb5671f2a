#include "host/views/main/PluginVersionWarningBanner.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/update/PluginUpdateInstaller.h"
#include "host/update/UpdateServer.h"
#include "host/views/common/TextButton.h"
#include "host/views/common/UrlOpener.h"
#include "host/views/main/ActivityIndicator.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tandrel {

using namespace corvane;
using Icon = PluginVersionWarningBannerModel::Icon;

namespace {

QUrl appManagementSettings() {
    return QUrl(QString::fromUtf8(PluginVersionWarningBannerModel::appManagementSettingsAddress));
}

} // namespace

PluginVersionWarningBanner::Links PluginVersionWarningBanner::Links::standard() {
    Links links;
    links.opener = &UrlOpener::system();
    try {
        links.fullInstaller =
            UpdateServer::address(PluginUpdateInstaller::Configuration::standard().server,
                                  PluginUpdateInstaller::installerPath);
    } catch (const PluginUpdateInstaller::InstallError &) {
        // No update server: no installer to offer.
    }
    return links;
}

PluginVersionWarningBanner::PluginVersionWarningBanner(const PluginUpdateState &state, Links links,
                                                       QWidget *parent)
    : QWidget(parent), state_(state), links_(std::move(links)), message_(new QLabel),
      appManagement_(linkButton(
          QString::fromUtf8(PluginVersionWarningBannerModel::openAppManagementSettingsTitle))),
      download_(linkButton(
          QString::fromUtf8(PluginVersionWarningBannerModel::downloadFullInstallerTitle))) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(10);
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    corvaneFont(message_, 12, CorvaneFontWeight::medium);
    corvaneForeground(message_, Color::corvaneTextSecondary());
    // The message takes the row's free width, so the buttons sit at its trailing end.
    layout->addWidget(message_, 1);
    layout->addWidget(appManagement_, 0, Qt::AlignVCenter);
    layout->addWidget(download_, 0, Qt::AlignVCenter);
    connect(appManagement_, &QAbstractButton::clicked, this,
            [this] { links_.opener->open(appManagementSettings()); });
    connect(download_, &QAbstractButton::clicked, this, [this] {
        if (links_.fullInstaller) {
            links_.opener->open(*links_.fullInstaller);
        }
    });
    setState(state);
}

void PluginVersionWarningBanner::setState(const PluginUpdateState &state) {
    const bool first = icon_ == nullptr;
    state_ = state;
    const Icon before = model_.icon;
    model_ = bannerModel(state, links_.fullInstaller.has_value(),
                         links_.opener->canOpen(appManagementSettings()));
    message_->setText(QString::fromStdString(model_.message));
    appManagement_->setVisible(model_.showsAppManagementButton);
    download_->setVisible(model_.showsDownloadInstallerButton);
    if (first || model_.icon != before) {
        rebuildIcon();
    }
}

void PluginVersionWarningBanner::rebuildIcon() {
    QWidget *icon = nullptr;
    switch (model_.icon) {
    case Icon::none:
        icon = new QWidget;
        icon->setFixedSize(0, 0);
        break;
    case Icon::spinner:
        icon = new ActivityIndicator(14);
        corvaneForeground(icon, Color::corvaneTextSecondary());
        break;
    case Icon::checkmark:
    case Icon::warning: {
        const bool done = model_.icon == Icon::checkmark;
        icon = new CorvaneSymbolView(done ? QStringLiteral("checkmark.circle.fill")
                                          : QStringLiteral("exclamationmark.triangle.fill"),
                                     13);
        corvaneForeground(icon, done ? Color::green() : Color::yellow());
        break;
    }
    }
    auto *layout = static_cast<QHBoxLayout *>(this->layout());
    if (icon_ != nullptr) {
        delete layout->replaceWidget(icon_, icon);
        delete icon_;
    } else {
        layout->insertWidget(0, icon, 0, Qt::AlignVCenter);
    }
    icon_ = icon;
}

} // namespace tandrel
