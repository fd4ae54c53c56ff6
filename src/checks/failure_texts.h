// failure_texts.h: what the report says where a reading failed.
//
// The checks write these in place of what they could not read. They live
// here once, so that the tests that break host calls on purpose know every
// one of them from the same place as the checks.
#pragma once

const char NOT_FOUND_TEXT[] = "Not Found.";         // a driver file, a registry key
const char UNKNOWN_TEXT[] = "n/a";                  // a version text, a shared-use count
const char NO_CODE_PAGE_TEXT[] = "Code Page N/A";   // a version resource without translations
const char VERSION_FALLBACK_TEXT[] = "4.0";         // what the version line says untold
const char NOT_AVAILABLE_TEXT[] = "Not Available";  // a service pack or a build number
const char UNAVAILABLE_TEXT[] = "Unavailable";      // a processor value
const char CPU_KEY_MISSING_TEXT[] = "CPU Registry Key Not Found.";
// The VDD list's line, with its label; a registry value that must be
// there says the same after the label.
const char VDD_MISSING_TEXT[] = "VDD: Not Found (ERR),";
constexpr const char* VALUE_MISSING_ERR_TEXT = VDD_MISSING_TEXT + 5;
const char VALUE_MISSING_AOK_TEXT[] = "Not Found (AOK),";  // a value that may be missing
const char TMEX_MISSING_TEXT[] = "IBFS32.DLL (Main TMEX Driver) is not Present.";
const char TMEX_NO_FUNCTION_FORMAT[] = " (ERR) GetProcAddress failed with error: %u";

const char USERPORT_DATABASE_DENIED_TEXT[] =
    "UserPort: User not authorized to access Services database.";
const char USERPORT_NO_DATABASE_TEXT[] = "UserPort: Unable to access the Services database!";
const char USERPORT_SERVICE_DENIED_TEXT[] = "UserPort: User not authorized to open Service.";
const char USERPORT_NO_SERVICE_TEXT[] = "UserPort: Service does not exist!";
const char USERPORT_NOT_OPENED_TEXT[] = "UserPort: Unable to open the Service.";
const char USERPORT_NOT_QUERIED_TEXT[] = "UserPort: Unable to query the Service.";

// The texts that stand in a line where its value would be.
const char* const VALUE_FAILURE_TEXTS[] = {
    NOT_FOUND_TEXT,         UNKNOWN_TEXT,     NO_CODE_PAGE_TEXT,    VERSION_FALLBACK_TEXT,
    NOT_AVAILABLE_TEXT,     UNAVAILABLE_TEXT, CPU_KEY_MISSING_TEXT, VALUE_MISSING_ERR_TEXT,
    VALUE_MISSING_AOK_TEXT, VDD_MISSING_TEXT, TMEX_MISSING_TEXT};
