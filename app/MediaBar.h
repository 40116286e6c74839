#pragma once

#include <QProgressBar>

class CProfile;
struct ServerSettings;

// The roll in the status bar's media pane: the length left against the length of the roll as last
// loaded, which the reload dialog keeps in [Window] RollLength of Server.INI (until then, the length
// left when the program started).
class CMediaBar : public QProgressBar {
    Q_OBJECT
public:
    static constexpr int WIDTH = 160;

    CMediaBar(const ServerSettings& settings, CProfile& serverFile, QWidget* parent = nullptr);

    // Takes the length left now as a full roll: the operator has just loaded one.
    void rollLoaded();
    // Shows the length left now.
    void showRemaining(const QString& remainingText);

private:
    const ServerSettings& settings_;
    CProfile& serverFile_;
    int rollLength_;
};
