// main.cpp: dorvik-support, for the support desk.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "log_reader.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ifstream in(argv[1], std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  LogReading r = read_log(bytes.str());
  std::printf("verdict %d line %d: %s\n", r.verdict, r.line, r.message.c_str());
  return 0;
}
