#pragma once

#include <QWidget>

#include "jobs/CopyEstimate.h"

#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
struct CPlotJob;
struct ServerSettings;

// The form under the lists: the selected job's file name and size, and its section settings and rotate
// and mirror options, which the operator edits here. An edit is stored in the job when it loses the focus;
// lengths are shown and typed in millimetres or, with unit 1, in inches.
class CPlotInfoView : public QWidget {
    Q_OBJECT
public:
    CPlotInfoView(const ServerSettings& settings, QWidget* parent = nullptr);

    // Shows the job, or "Unknow" and "???" for none. The job is not owned.
    void ShowJob(CPlotJob* job);
    // How the plotting time of a job's next copy is estimated: the estimate the job holds, or one to be
    // made. One to be made is made on a worker thread, while the time shows that it is being estimated;
    // it is kept in the job and shown when it comes, unless another job, or the same job edited, has
    // been shown since. Without an estimator, or for a job whose estimate is not valid, the time shows
    // "???".
    using Estimator = std::function<EstimateRequest(CPlotJob&)>;
    void setEstimator(Estimator estimator) { estimator_ = std::move(estimator); }
    // The plotting time shown: a copy's, and the job's copies' when there are more.
    QString timeText() const;
    // Whether the time shown waits for an estimate being made.
    bool estimating() const { return awaited_ != 0; }
    CPlotJob* job() const { return job_; }

    QLineEdit* startOffsetEdit() const { return startOffset_; }
    QLineEdit* sectionLengthEdit() const { return sectionLength_; }
    QLineEdit* overlapEdit() const { return overlap_; }
    QLineEdit* sectionLimitEdit() const { return sectionLimit_; }
    QCheckBox* rotateBox() const { return rotate_; }
    QCheckBox* mirrorBox() const { return mirror_; }
    QString fileNameText() const;

signals:
    // A field of the shown job changed.
    void jobEdited(CPlotJob* job);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString lengthText(std::int64_t millimetres) const;
    std::uint32_t typedLength(const QString& text) const;
    void storeEdit(QLineEdit* edit);
    void toggleOption(std::uint16_t option, bool on);
    void showTime();
    void showEstimate(const CopyEstimate& copy);

    const ServerSettings& settings_;
    CPlotJob* job_ = nullptr;
    QLabel* fileName_;
    QLabel* width_;
    QLabel* length_;
    QLabel* time_;
    Estimator estimator_;
    // The estimates started, numbered; the one whose result is shown when it comes (0: none); and the last
    // one started, while it is being made, with its job and key.
    std::uint64_t started_ = 0;
    std::uint64_t awaited_ = 0;
    std::uint64_t inFlight_ = 0;
    const CPlotJob* inFlightJob_ = nullptr;
    std::string inFlightKey_;
    QLineEdit* startOffset_;
    QLineEdit* sectionLength_;
    QLineEdit* overlap_;
    QLineEdit* sectionLimit_;
    QCheckBox* rotate_;
    QCheckBox* mirror_;
};
