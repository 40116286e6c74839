#include "app/MediaBar.h"

#include "app/WindowPlacement.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <algorithm>

CMediaBar::CMediaBar(const ServerSettings& settings, CProfile& serverFile, QWidget* parent)
    : QProgressBar(parent), settings_(settings), serverFile_(serverFile),
      // Without a roll loaded through the dialog yet, the count the program starts with stands for it.
      rollLength_(serverFile.getInt(WindowPlacement::SECTION, "RollLength", settings.REMAINMEDIALENGTH))
{
    setFixedWidth(WIDTH);
    setTextVisible(true);
    setFormat(QStringLiteral("%p%"));
}

void CMediaBar::rollLoaded()
{
    rollLength_ = std::max(0, settings_.REMAINMEDIALENGTH);
    serverFile_.setInt(WindowPlacement::SECTION, "RollLength", rollLength_);
}

void CMediaBar::showRemaining(const QString& remainingText)
{
    const int left = std::max(0, settings_.REMAINMEDIALENGTH);
    const int roll = std::max({left, rollLength_, 1});
    setRange(0, roll);
    setValue(left);
    setToolTip(QString::fromStdString(
        fillPlaceholders(strings::localString(strings::IDS_MEDIA_LEFT), {remainingText.toStdString()})));
}
