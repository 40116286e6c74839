#pragma once

// The output device, implemented in DeviceProfile.cpp (loading and saving the profile), Emission.cpp (passes,
// paths, moves and lines), KnifeCorrection.cpp (the knife offset) and CurveFlattening.cpp (curves).

#include <cstdint>
#include <memory>
#include <string>

#include "geometry/Bezier.h"
#include "output/CommandTemplate.h"
#include "output/CompactWriter.h"
#include "output/CurveSplit.h"
#include "output/EmissionObserver.h"
#include "ports/CPlotPort.h"

class CCutInfo;
class CPlot;
class CPlotPath;
class CProfile;

// How a pass ends: back at the origin with the home command, or at the feed position with the feed
// command, followed by a new frame or not.
enum class PassEnd { Home = 0, FeedAndNewFrame = 1, Feed = 2 };

// The single output device of the program. Its profile part describes the selected plotter or cutter:
// the command templates it understands, its resolution, its pens with their knife offsets and a few
// switches, all loaded from one section of the device-profile file. Its output part sends plots through
// those templates to the port, pass by pass, and keeps the state that carries from one command to the next.
class CPlotterDevice {
public:
    static constexpr int kMaxPens = 20;

    // Loads the profile of the device shown under displayName in [CutterDevices]. A null name reloads
    // the stored one. A name that is not listed, or a missing section, gives the defaults: no templates,
    // RS 0.025 and one pen with offset 0.
    void loadProfile(const CProfile& file, const char* displayName);
    // Writes back what the settings dialog may change: offset, over-cut, speed and force defaults and
    // switches, pen mode, ratios and the pen offsets. Does nothing for a device that is not listed.
    void saveProfile(CProfile& file);
    // True when the decimal text of pen occurs anywhere in SP2Dash ("13" makes pens 1, 3 and 13 dashed).
    bool isDashedPen(int pen) const;

    const char* command(CommandTemplate t) const { return templates[static_cast<int>(t)]; }
    char* command(CommandTemplate t) { return templates[static_cast<int>(t)]; }

    char displayName[80] = {};
    char sectionName[60] = {};
    float RS = 0.025f; // millimetres per device unit
    float penOffsets[kMaxPens] = {};
    char templates[kCommandTemplateCount][kTemplateSize] = {};
    char SP2Dash[80] = {};
    std::int32_t SetSpeed = 1;
    std::int32_t SetForce = 0;
    std::uint16_t DefaultSpeed = 40;
    std::uint16_t highestSpeed = 0;
    std::uint16_t DefaultForce = 80;
    std::uint16_t highestForce = 0;
    std::uint16_t currentPen = 0;
    std::uint16_t MaxPen = 0;
    std::int32_t HardOffset = 1;
    std::int32_t PenMode = 0;
    float Offset = 0.3f;
    float RatioX = 1.0f;
    float RatioY = 1.0f;
    std::int32_t OVERCUT = 0;
    std::uint16_t OutMethod = 2;
    std::uint16_t mmCutterWidth = 32700;
    // How the port paces the device beyond the line's own flow control: 0 not at all, 1 by asking its
    // free buffer space (the HP-GL buffer query). Any other value is taken as 0.
    std::uint16_t Handshake = 0;
    // How moves and lines are sent: 0 one template command per point, 1 HP-GL coordinate lists, 2 HP-GL/2
    // encoded polylines (see CompactWriter). Only for devices that move with HP-GL's PU; others keep 0.
    std::uint16_t Compact = 0;

    // Output in passes. A pass opens the port and sends the initialisation sequence (beginPass), receives
    // any number of plots in device units (emitPlot), and ends with a home or feed sequence before the
    // port is closed (endPass).

    // Opens the port with OutMethod and starts a pass with the settings; the writes run the message step
    // or not. Returns 0, sending nothing, when the port cannot be opened.
    int beginPass(MessageSteps steps, const CCutInfo& settings);
    void emitPlot(const CPlot& plot);
    // Selects the path's pen and line type, then sends its moves, lines and flattened curves.
    void emitPath(const CPlotPath& path);
    // Pen-up move, knife-corrected when the device leaves that to the program.
    void moveTo(float x, float y);
    // Cut or draw from the last point; the first segment after a move swivels the knife into its
    // direction, later ones swivel only at sharp corners.
    void lineTo(float x, float y);
    // A line cut in stretches of SolidCut separated by uncut gaps of VoidCut; the pattern runs on across
    // the segments of a sub-path.
    void dashLineTo(float x, float y);
    // A cubic Bezier curve, flattened into lines within the curve accuracy of the pass.
    void curveTo(FPoint p0, FPoint p1, FPoint p2, FPoint p3);
    // Ends a run of lines with a space, which some device languages need before the next command.
    void flushPending();
    // Ends the run of lines and lifts the pen or knife.
    void penUp();
    // Sends the end of the pass, then closes the port.
    void endPass(PassEnd end);

    // Sends through the given port instead of the embedded one (a recording port in tests); null goes
    // back to the embedded port.
    void setOutputPort(CPlotPort* replacement) { replacementPort_ = replacement; }
    // The port the passes write to: the replacement when one is set, else the embedded one.
    CPlotPort& outputPort() { return output(); }
    // Tells the observer every point and every write of the passes; null tells no one. The bytes sent
    // stay the same.
    void setEmissionObserver(EmissionObserver* observer) { observer_ = observer; }
    // Takes over the profile of another device and the state a pass carries over from the one before
    // (current pen, knife direction), so that this device sends what the other would send next.
    void copyProfileFrom(const CPlotterDevice& other);
    // Appends, as bytes, everything copyProfileFrom takes over: two devices that append the same bytes
    // send the same next pass.
    void appendProfileKey(std::string& key) const;

    // 0 while a pass runs; raised to 1 when the port closes or the stop command stops the output.
    std::int32_t stopFlag = 1;
    // A copy is being output: a pass runs and has not been stopped. The window refuses to close meanwhile.
    bool isOutputting() const { return stopFlag == 0; }
    // The port every pass writes to; the job run selects it by name before each copy.
    std::unique_ptr<CPlotPort> port = std::make_unique<CPlotPort>();

private:
    class PathEmitter;

    CPlotPort& output() { return replacementPort_ != nullptr ? *replacementPort_ : *port; }
    void send(const char* text);
    void sendFormatted(const char* text, const std::int32_t* args, int argCount);
    void sendPoint(CommandTemplate t, float x, float y);
    void noteHighestX(float x);
    bool knifeCorrectionActive() const;
    float knifeRadius() const;
    bool turnKnife(float x, float y);
    void lineFirst(float x, float y);
    void lineNext(float x, float y);
    void drawLine(float x, float y);
    void flattenCurve(const Bezier& curve, int depth);

    CPlotPort* replacementPort_ = nullptr;
    EmissionObserver* observer_ = nullptr;
    CompactWriter compact_;
    // 1 after a line has been sent and no move has followed yet.
    std::int32_t pendingLine_ = 0;
    float curveAccuracy_ = 2.0f;
    CurveSplit curveSplit_{2.0f};
    // Largest X, in device units, of the moves and lines of the pass.
    std::int32_t highestX_ = 0;
    // The knife offset turned into the direction of the last segment, and that direction in radians.
    // Both outlive the pass, as the knife itself keeps its direction.
    FPoint knifeVector_;
    float lastDirection_ = 0.0f;
    // The last target point, without knife correction.
    FPoint lastPoint_;
    // Knife offset in force, in millimetres.
    float knifeOffset_ = 0.0f;
    std::int32_t dashFlag_ = 0;
    // Half-cut stretches in device units, what is left of the current one, and whether it cuts (1).
    float solidLength_ = 0.0f;
    float gapLength_ = 0.0f;
    float dashRemaining_ = 0.0f;
    std::int32_t dashState_ = 1;
    std::int32_t pageGap_ = 0;
    std::uint16_t currentLineType_ = 0;
};
