#include "scale/Quarn_quarnbase.h"

// Out of line so that the exception classes have one home for their type information.
EQuarnError::EQuarnError(const std::string& message) : std::runtime_error(message) {}
EQuarnError::~EQuarnError() = default;

EQuarnRChartError::EQuarnRChartError(const std::string& message) : EQuarnError(message) {}
EQuarnRChartError::~EQuarnRChartError() = default;

TDTLabel::TDTLabel(QObject* parent) : QObject(parent) {}

void TDTLabel::Changed() {
  if (OnChange) OnChange(this);
}

void TDTLabel::SetTimeFormat(::TTimeFormat value) {
  timeFormat_ = value;
  Changed();
}

void TDTLabel::SetDateSeparator(char value) {
  if (value == dateSeparator_) return;
  dateSeparator_ = value;
  Changed();
}

void TDTLabel::SetTimeSeparator(char value) {
  if (value == timeSeparator_) return;
  timeSeparator_ = value;
  Changed();
}

void TDTLabel::SetYearLength(::TYearLength value) {
  if (value == yearLength_) return;
  yearLength_ = value;
  Changed();
}

void TDTLabel::SetMonthName(bool value) {
  if (value == monthName_) return;
  monthName_ = value;
  Changed();
}

void TDTLabel::SetDateOrder(::TDateOrder value) {
  dateOrder_ = value;
  Changed();
}

void TDTLabel::SetDateForTime(::TDateForTime value) {
  if (value == dateForTime_) return;
  dateForTime_ = value;
  Changed();
}

void TDTLabel::ApplyScaleDefaults() {
  timeFormat_ = tfHHMMSS;
  dateSeparator_ = '-';
  timeSeparator_ = ':';
  yearLength_ = ylYYYY;
  monthName_ = true;
  dateOrder_ = doDDMMYY;
  dateForTime_ = dtOnePerDay;
}

void TDTLabel::Assign(const TDTLabel& source) {
  timeFormat_ = source.timeFormat_;
  dateSeparator_ = source.dateSeparator_;
  timeSeparator_ = source.timeSeparator_;
  yearLength_ = source.yearLength_;
  monthName_ = source.monthName_;
  dateOrder_ = source.dateOrder_;
  dateForTime_ = source.dateForTime_;
  Changed();
}
