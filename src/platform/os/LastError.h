#pragma once

#include <string>

// The system's text for errno, or "(GetLastErrorString failed)" when the system has none.
std::string GetLastErrorString();
std::string GetErrorString(int ErrorNumber);
