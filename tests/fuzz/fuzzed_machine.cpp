// fuzzed_machine.cpp: decoding fuzzer bytes into a SimMachine.

#include "fuzzed_machine.h"

#include <climits>
#include <cstdio>
#include <initializer_list>

#include "host/sim/file_time.h"

namespace {

const char* const SLOT_NAMES[] = {"Downtvdd.dll", "Ds1410d.sys", "Ib10e32.dll",  "Ib97e32.dll",
                                  "Ib97u32.dll",  "Ibfs32.dll",  "Rockey9x.vxd", "Rockeynt.sys",
                                  "Rockusb.inf",  "Rockusb.sys", "Rockvdd.dll",  "Userport.exe",
                                  "Userport.sys", "Vsauthd.vxd"};
const std::uint32_t SLOT_SIZES[] = {11776, 6592, 86016, 90112, 94208, 131072, 28252,
                                    18223, 2098, 27732, 10752, 11776, 4256,   11354};

const char* const DIRECTORIES[] = {"\\SYSTEM\\", "\\SYSTEM32\\", "\\SYSTEM32\\DRIVERS\\", "\\INF\\",
                                   "\\"};

const char SHARED_DLLS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char VDD_KEY[] = "System\\CurrentControlSet\\Control\\VirtualDeviceDrivers";

// The keys a run reads, each with the values it reads there.
struct KnownKey {
  const char* path;
  std::initializer_list<const char*> values;
};
const KnownKey KNOWN_KEYS[] = {
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", {"VersionNumber", "SubVersionNumber"}},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
     {"CurrentVersion", "CSDVersion", "CurrentBuildNumber"}},
    {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
     {"VendorIdentifier", "Identifier", "ProcessorNameString", "~MHz"}},
    {"System\\CurrentControlSet\\Services\\VxD\\Rockey9x", {"StaticVxD", "Support", "TestBusy"}},
    {"Software\\Dallas Semiconductor\\iButton TMEX\\3.00",
     {"MainDriver", "TYPE1", "TYPE2", "TYPE5"}},
    {"System\\CurrentControlSet\\Services\\DS1410D",
     {"ErrorControl", "Group", "Start", "Tag", "Type"}},
    {VDD_KEY, {"VDD"}},
    {SHARED_DLLS, {}},
};
const std::size_t KNOWN_KEY_COUNT = sizeof KNOWN_KEYS / sizeof KNOWN_KEYS[0];

// Texts the checks compare against, so that matches are easy to reach.
const char* const LIKELY_TEXTS[] = {
    "Rockey9x.vxd", "IBFS32.DLL", "IB97E32.DLL", "IB10E32.DLL",    "IB97U32.DLL", "Extended Base",
    "5.1",          "4.10.2222",  " A ",         "Service Pack 1", "2600",        "GenuineIntel"};

const std::uint32_t ERRORS[] = {HOSTERR_FILE_NOT_FOUND, HOSTERR_ACCESS_DENIED, HOSTERR_MORE_DATA,
                                HOSTERR_SERVICE_DOES_NOT_EXIST, HOSTERR_INVALID_PARAMETER};

template <typename T, std::size_t N>
const T& pick(FuzzedDataProvider& in, const T (&items)[N]) {
  return items[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

std::uint32_t any_error(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? pick(in, ERRORS) : in.ConsumeIntegral<std::uint32_t>();
}

// A text of up to `max` bytes of any value, or one of the likely texts.
std::string any_text(FuzzedDataProvider& in, std::size_t max) {
  if (in.ConsumeIntegralInRange(0, 3) == 0) return pick(in, LIKELY_TEXTS);
  return in.ConsumeRandomLengthString(max);
}

// A text of exactly `length` characters, for the limits of buffers.
std::string text_of_length(FuzzedDataProvider& in, std::size_t length) {
  std::string text = in.ConsumeBytesAsString(length);
  text.resize(length, static_cast<char>(in.ConsumeIntegralInRange<int>('!', '~')));
  return text;
}

std::string windows_directory(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return "C:\\WINDOWS";
    case 1: return "C:\\WINNT";
    case 2: return "C:\\";  // a drive root keeps its backslash
    case 3: return "C:\\" + text_of_length(in, in.ConsumeIntegralInRange<std::size_t>(190, 300));
    case 4: return text_of_length(in, in.ConsumeIntegralInRange<std::size_t>(0, 20));
    default: return in.ConsumeRandomLengthString(400);
  }
}

std::vector<std::uint8_t> bytes_of(const std::string& text, bool terminated) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  if (terminated) data.push_back(0);
  return data;
}

// A list of texts, each with its NUL, ending in a second NUL or not.
std::vector<std::uint8_t> multi_string(FuzzedDataProvider& in, const std::string& windows_dir) {
  std::string list;
  int entries = in.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < entries; i++) {
    std::string entry;
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0: entry = windows_dir + "\\SYSTEM32\\DOWNTVDD.DLL"; break;
      case 1:
        entry = any_text(in, 8) + windows_dir + "\\system32\\downtvdd.dll" + any_text(in, 2);
        break;
      default: entry = any_text(in, 120); break;
    }
    list += entry;
    list += '\0';
  }
  if (in.ConsumeBool()) list += '\0';
  return bytes_of(list, false);
}

std::vector<std::uint8_t> value_data(FuzzedDataProvider& in, const std::string& windows_dir) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return bytes_of(any_text(in, 300), true);   // a text with its NUL
    case 1: return bytes_of(any_text(in, 300), false);  // a text without it
    case 2: {
      std::uint32_t n = in.ConsumeIntegral<std::uint32_t>();
      return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
              static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
    }
    case 3: return in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 8));
    case 4: return multi_string(in, windows_dir);
    case 5: {  // at the edge of the 256-byte buffers
      std::vector<std::uint8_t> data =
          bytes_of(text_of_length(in, in.ConsumeIntegralInRange<std::size_t>(254, 257)), false);
      if (in.ConsumeBool()) data.back() = 0;
      return data;
    }
    case 6: return std::vector<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 2000), 'x');
    default: return in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 300));
  }
}

void add_value(FuzzedDataProvider& in, SimMachine& m, const std::string& key,
               const std::string& name) {
  sim_set_value(m, key, name, in.ConsumeIntegralInRange<std::uint32_t>(0, 11),
                value_data(in, m.windows_dir));
  if (in.ConsumeIntegralInRange(0, 7) == 0)
    sim_add_key(m, key).values[sim_fold(name)].read_error = any_error(in);
}

std::uint64_t file_size(FuzzedDataProvider& in, std::uint32_t usual) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return usual;
    case 1: return 0;
    case 2: return 0xFFFFFFFFull;
    case 3: return 0x100000000ull + usual;  // 4 GiB more than the usual size
    case 4: return UINT64_MAX;
    default: return in.ConsumeIntegral<std::uint64_t>();
  }
}

std::uint64_t file_time(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: return sim_file_time(2001, 12, 10, 12);
    case 1: return 0;
    case 2: return 0x7FFFFFFFFFFFFFFFull;
    case 3: return 0x8000000000000000ull;
    case 4: return UINT64_MAX;
    case 5:
      return sim_file_time(in.ConsumeIntegralInRange(1601, 30827), in.ConsumeIntegralInRange(1, 12),
                           in.ConsumeIntegralInRange(1, 28), in.ConsumeIntegralInRange(0, 23),
                           in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 59));
    default: return in.ConsumeIntegral<std::uint64_t>();
  }
}

void add_version(FuzzedDataProvider& in, SimVersionInfo* version) {
  version->state = static_cast<SimVersionState>(in.ConsumeIntegralInRange(0, 3));
  int translations = in.ConsumeIntegralInRange(0, 20);
  for (int i = 0; i < translations; i++)
    version->translations.push_back(in.ConsumeBool() ? 0x04E40409u
                                                     : in.ConsumeIntegral<std::uint32_t>());
  int texts = in.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < texts; i++) {
    char name[16];
    std::uint32_t t = !version->translations.empty() && in.ConsumeBool()
                          ? version->translations[in.ConsumeIntegralInRange<std::size_t>(
                                0, version->translations.size() - 1)]
                          : in.ConsumeIntegral<std::uint32_t>();
    std::snprintf(name, sizeof name, "%04X%04X", t & 0xFFFF, t >> 16);
    version->file_versions[in.ConsumeBool() ? name : in.ConsumeRandomLengthString(10)] =
        in.ConsumeBool() ? "3.00" : in.ConsumeRandomLengthString(300);
  }
}

void add_files(FuzzedDataProvider& in, SimMachine& m) {
  for (int slot = 0; slot < 14; slot++) {
    int copies = in.ConsumeIntegralInRange(0, 2);
    for (int i = 0; i < copies; i++) {
      std::string path = m.windows_dir + pick(in, DIRECTORIES) + SLOT_NAMES[slot];
      if (in.ConsumeIntegralInRange(0, 9) == 0) path = in.ConsumeRandomLengthString(300);
      SimFile& file = sim_add_file(m, path, file_size(in, SLOT_SIZES[slot]), file_time(in));
      file.is_directory = in.ConsumeIntegralInRange(0, 7) == 0;
      add_version(in, &file.version);
      if (in.ConsumeBool()) add_value(in, m, SHARED_DLLS, path);
    }
  }
}

void add_registry(FuzzedDataProvider& in, SimMachine& m) {
  int values = in.ConsumeIntegralInRange(0, 40);
  for (int i = 0; i < values; i++) {
    const KnownKey& key =
        KNOWN_KEYS[in.ConsumeIntegralInRange<std::size_t>(0, KNOWN_KEY_COUNT - 1)];
    std::string name;
    if (key.values.size() > 0 && in.ConsumeIntegralInRange(0, 7) != 0)
      name = key.values.begin()[in.ConsumeIntegralInRange<std::size_t>(0, key.values.size() - 1)];
    else
      name = in.ConsumeRandomLengthString(300);
    add_value(in, m, key.path, name);
  }
  int broken_keys = in.ConsumeIntegralInRange(0, 2);
  for (int i = 0; i < broken_keys; i++) {
    const KnownKey& key =
        KNOWN_KEYS[in.ConsumeIntegralInRange<std::size_t>(0, KNOWN_KEY_COUNT - 1)];
    sim_add_key(m, key.path).open_error = any_error(in);
  }
}

std::uint16_t clock_field(FuzzedDataProvider& in, std::uint16_t usual) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return usual;
    case 1: return 0;
    case 2: return 0xFFFF;
    default: return in.ConsumeIntegral<std::uint16_t>();
  }
}

OsVersionRecord version_record(FuzzedDataProvider& in) {
  const OsVersionRecord known[] = {{1, 4, 0, (4u << 24) | 950},
                                   {1, 4, 0, (4u << 24) | 1111},
                                   {1, 4, 10, 2222},
                                   {1, 4, 90, 3000},
                                   {2, 3, 51, 1057},
                                   {2, 4, 0, 1381},
                                   {2, 5, 0, 2195},
                                   {2, 5, 1, 2600},
                                   {0, 3, 11, 0}};
  if (in.ConsumeIntegralInRange(0, 7) != 0) return pick(in, known);
  return {in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegral<std::uint32_t>(),
          in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegral<std::uint32_t>()};
}

}  // namespace

SimMachine fuzzed_machine(FuzzedDataProvider& in) {
  SimMachine m;
  m.version = version_record(in);
  m.module_path = in.ConsumeBool() ? "C:\\Tools\\" + in.ConsumeRandomLengthString(120)
                                   : in.ConsumeRandomLengthString(800);
  m.windows_dir = windows_directory(in);
  m.temp_path = in.ConsumeBool() ? m.windows_dir + "\\TEMP\\" : in.ConsumeRandomLengthString(300);

  const std::uint32_t settings[] = {LOCALE_ID_SDATE, LOCALE_ID_IDATE, LOCALE_ID_STIME,
                                    LOCALE_ID_ITIME};
  for (std::uint32_t lctype : settings)
    if (in.ConsumeBool()) m.locale[lctype] = in.ConsumeRandomLengthString(12);

  m.clock.year = clock_field(in, 2026);
  m.clock.month = clock_field(in, 10);
  m.clock.day_of_week = clock_field(in, 1);
  m.clock.day = clock_field(in, 5);
  m.clock.hour = clock_field(in, 21);
  m.clock.minute = clock_field(in, 7);
  m.clock.second = clock_field(in, 3);
  m.clock.milliseconds = clock_field(in, 0);
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: m.utc_offset_minutes = 0; break;
    case 1: m.utc_offset_minutes = in.ConsumeIntegralInRange(-14 * 60, 14 * 60); break;
    case 2: m.utc_offset_minutes = in.ConsumeBool() ? INT_MIN : INT_MAX; break;
    default: m.utc_offset_minutes = in.ConsumeIntegral<int>(); break;
  }

  add_registry(in, m);
  add_files(in, m);

  m.tmex.present = in.ConsumeBool();
  m.tmex.has_function = in.ConsumeIntegralInRange(0, 3) != 0;
  m.tmex.lookup_error = in.ConsumeIntegral<std::uint32_t>();
  for (int port : {1, 2, 5, 0, -1})
    if (in.ConsumeBool())
      m.tmex.answers[port] = in.ConsumeBool() ? 1 : in.ConsumeIntegral<std::uint32_t>();

  m.service_manager_open_error = in.ConsumeIntegralInRange(0, 3) == 0 ? any_error(in) : 0;
  if (in.ConsumeBool()) {
    SimService userport;
    userport.open_error = in.ConsumeIntegralInRange(0, 3) == 0 ? any_error(in) : 0;
    userport.query_fails = in.ConsumeIntegralInRange(0, 5) == 0;
    userport.state = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 8)
                                      : in.ConsumeIntegral<std::uint32_t>();
    sim_set_service(m, in.ConsumeIntegralInRange(0, 9) == 0 ? "USERPORT" : "UserPort", userport);
  }
  return m;
}
