#include "scale/Quarn_quarnbase.h"

// Out of line so that the exception classes have one home for their type information.
EQuarnError::EQuarnError(const std::string& message) : std::runtime_error(message) {}
EQuarnError::~EQuarnError() = default;

EQuarnRChartError::EQuarnRChartError(const std::string& message) : EQuarnError(message) {}
EQuarnRChartError::~EQuarnRChartError() = default;
