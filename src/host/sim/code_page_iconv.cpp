// code_page_iconv.cpp: a code page's characters from glibc's iconv tables.

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <mutex>

#include "host/sim/code_page_convert.h"

struct CodePageConvert::State {
  iconv_t encode, best_fit, decode;
  // Case mates and transliteration by Unicode's rules, whatever the
  // process's locale.
  locale_t c_utf8;
};

namespace {

bool convert(iconv_t cd, char32_t c, std::string* out) {
  char buffer[16];
  char* in = reinterpret_cast<char*>(&c);
  std::size_t in_left = sizeof c, out_left = sizeof buffer;
  char* out_at = buffer;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) return false;
  out->assign(buffer, sizeof buffer - out_left);
  return true;
}

}  // namespace

CodePageConvert::CodePageConvert(int, const char* iconv_name)
    : state_(new State{
          .encode = iconv_open(iconv_name, "UTF-32LE"),
          .best_fit = iconv_open((std::string(iconv_name) + "//TRANSLIT").c_str(), "UTF-32LE"),
          .decode = iconv_open("UTF-32LE", iconv_name),
          .c_utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))}) {}

CodePageConvert::~CodePageConvert() {
  iconv_close(state_->encode);
  iconv_close(state_->best_fit);
  iconv_close(state_->decode);
  if (state_->c_utf8) freelocale(state_->c_utf8);
  delete state_;
}

bool CodePageConvert::decode(const std::string& bytes, char32_t* c) {
  char32_t out = 0;
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size(), out_left = sizeof out;
  char* out_at = reinterpret_cast<char*>(&out);
  iconv(state_->decode, nullptr, nullptr, nullptr, nullptr);
  if (iconv(state_->decode, &in, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1) ||
      in_left != 0 || out_left != 0)
    return false;
  *c = out;
  return true;
}

bool CodePageConvert::encode(char32_t c, std::string* bytes) {
  return convert(state_->encode, c, bytes);
}

bool CodePageConvert::best_fit(char32_t c, std::string* bytes) {
  locale_t previous = state_->c_utf8 ? uselocale(state_->c_utf8) : nullptr;
  bool converted = convert(state_->best_fit, c, bytes);
  if (previous) uselocale(previous);
  return converted;
}

char32_t CodePageConvert::upper(char32_t c) {
  if (!state_->c_utf8) return c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), state_->c_utf8));
}

char32_t CodePageConvert::lower(char32_t c) {
  if (!state_->c_utf8) return c;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), state_->c_utf8));
}

namespace {
std::mutex tables_mutex;
}  // namespace

CodePageLock::CodePageLock() { tables_mutex.lock(); }

CodePageLock::~CodePageLock() { tables_mutex.unlock(); }
