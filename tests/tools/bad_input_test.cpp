// Every row of tests/bad-input/catalogue.tsv: corvexa-tool run on a broken
// file must end with the row's exit status and message, print a single line
// that names the file when it refuses it, and leave no output file behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

using namespace corvexa;

namespace {

struct CatalogueRow {
  std::string command;
  std::string file;  // under tests/bad-input/, or @bomb
  int status;
  std::string message;
};

std::vector<CatalogueRow> readCatalogue() {
  std::ifstream file(std::string(CORVEXA_SOURCE_DIR) + "/tests/bad-input/catalogue.tsv");
  std::vector<CatalogueRow> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    CatalogueRow row;
    std::string status;
    std::getline(fields, row.command, '\t');
    std::getline(fields, row.file, '\t');
    std::getline(fields, status, '\t');
    std::getline(fields, row.message);
    row.status = std::atoi(status.c_str());
    rows.push_back(row);
  }
  return rows;
}

// The command line of a row, writing its output to `output`.
std::string commandLine(const CatalogueRow& row, const std::string& input,
                        const std::string& output) {
  return std::string(CORVEXA_TOOL) + " " + row.command + " " + shellQuote(input) + " --out " +
         shellQuote(output);
}

TEST(BadInput, EveryCatalogueRowEndsAsListed) {
  const std::vector<CatalogueRow> rows = readCatalogue();
  ASSERT_GE(rows.size(), 60u) << "the catalogue was not found or is cut short";
  const std::filesystem::path dir = freshDirectory("bad-input");
  for (const CatalogueRow& row : rows) {
    SCOPED_TRACE(row.command + " " + row.file);
    std::string input = std::string(CORVEXA_SOURCE_DIR) + "/tests/bad-input/" + row.file;
    if (row.file == "@bomb") {
      // 300 MiB of zeros: more than gunzip's 256 MiB bound, in about 300 KB.
      input = (dir / "bomb.gz").string();
      ASSERT_EQ(std::system(("head -c 300M /dev/zero | gzip -9 >" + shellQuote(input)).c_str()), 0);
    } else {
      ASSERT_TRUE(std::filesystem::is_regular_file(input)) << "missing data file";
    }
    const std::string output = (dir / "output").string();
    std::filesystem::remove(output);
    const RunResult result = run(commandLine(row, input, output), dir);
    EXPECT_EQ(result.status, row.status) << result.err;
    if (row.status == 2) {
      EXPECT_NE(result.err.find(input + ": " + row.message), std::string::npos) << result.err;
      EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
      EXPECT_FALSE(std::filesystem::exists(output)) << "a refused file left an output file";
    } else {
      EXPECT_NE(result.out.find(row.message), std::string::npos) << result.out;
      EXPECT_TRUE(std::filesystem::exists(output));
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
