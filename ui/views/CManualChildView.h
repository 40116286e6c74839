#pragma once

#include "ui/views/CJobListWidget.h"

// The manual list: the files of the manual receive folder in one column, from which the operator sends
// single jobs to the automatic queue.
class CManualChildView : public CJobListWidget {
public:
    using CJobListWidget::CJobListWidget;
};
