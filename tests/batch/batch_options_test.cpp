// The command line: what each argument sets, and the mistakes refused before anything runs.
#include "batch/batch_options.h"

#include <gtest/gtest.h>

#include "batch/batch_texts.h"
#include "editor/editor_texts.h"
#include "labels/label_sheet.h"

using namespace Qt::StringLiterals;

namespace batch {
namespace {

QStringList Split(const char* line) { return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts); }

BatchOptions Parsed(const char* line) {
  auto result = ParseArguments(Split(line));
  if (auto* error = std::get_if<ArgumentError>(&result))
    ADD_FAILURE() << line << ": " << error->message.toStdString();
  return std::get_if<BatchOptions>(&result) ? std::get<BatchOptions>(result) : BatchOptions{};
}

TEST(BatchOptions, RefusesMistakesWithTheirMessage) {
  const struct {
    const char* line;
    QString message;
  } cases[] = {
      {"", kNoCommand},
      {"print a.csv", kUnknownCommand.arg(u"print"_s)},
      {"records", kNoSource},
      {"records a.csv b.csv", kUnknownOption.arg(u"b.csv"_s)},
      {"records a.csv --bogus", kUnknownOption.arg(u"--bogus"_s)},
      {"records a.csv --start", kMissingValue.arg(u"--start"_s)},
      {"records a.csv --start 0", kBadNumber.arg(u"--start"_s, u"0"_s)},
      {"records a.csv --start x", kBadNumber.arg(u"--start"_s, u"x"_s)},
      {"records a.csv --end -1", kBadNumber.arg(u"--end"_s, u"-1"_s)},
      {"records a.csv --start 5 --end 3", kEndBeforeStart},
      {"records a.csv --remove-incomplete phone", kBadRule.arg(u"phone"_s)},
      {"records a.csv --size DL", kNotForCommand.arg(u"--size"_s)},
      {"records a.csv -o x.pdf", kBadRecordsOutput.arg(u"x.pdf"_s)},
      {"records a.csv --copies 2", kNotForCommand.arg(u"--copies"_s)},
      {"records a.csv --sort phone", kBadSort.arg(u"phone"_s)},
      {"records a.csv --filter phone=1", kBadFilter.arg(u"phone=1"_s)},
      {"posting-list a.csv", kBadPostingListOutput.arg(QString())},
      {"posting-list a.csv -o list.doc", kBadPostingListOutput.arg(u"list.doc"_s)},
      {"envelopes a.csv", kNoOutput},
      {"envelopes a.csv -o x.pdf --printer P", kTwoOutputs},
      {"envelopes a.csv -o x.pdf --size A4", kBadSize.arg(u"A4"_s)},
      {"envelopes a.csv -o x.pdf --size 300x50", editor::kBadProportions},
      {"envelopes a.csv -o x.pdf --size 0x0", kBadSize.arg(u"0x0"_s)},
      {"envelopes a.csv -o x.pdf --margins 13", kBadMargins.arg(u"13"_s)},
      {"envelopes a.csv -o x.pdf --margins a,b", kBadMargins.arg(u"a,b"_s)},
      {"envelopes a.csv -o x.pdf --portrait-printing --landscape-printing", kBothOrientations},
      {"envelopes a.csv -o x.pdf --across 2", kNotForCommand.arg(u"--across"_s)},
      {"labels a.csv -o x.pdf --rotate", kNotForCommand.arg(u"--rotate"_s)},
      {"labels a.csv -o x.pdf --items postcode,phone", kBadItem.arg(u"phone"_s)},
      {"labels a.csv -o x.pdf --paper A4", kBadPaper.arg(u"A4"_s)},
      {"labels a.csv -o x.pdf --shrink 0", kBadDecimal.arg(u"--shrink"_s, u"0"_s)},
  };
  for (const auto& c : cases) {
    const auto result = ParseArguments(Split(c.line));
    const auto* error = std::get_if<ArgumentError>(&result);
    ASSERT_NE(error, nullptr) << c.line;
    EXPECT_EQ(error->message, c.message) << c.line;
  }
}

TEST(BatchOptions, HelpIsAnEmptyError) {
  const auto result = ParseArguments(Split("envelopes --help"));
  ASSERT_TRUE(std::holds_alternative<ArgumentError>(result));
  EXPECT_TRUE(std::get<ArgumentError>(result).message.isEmpty());
}

TEST(BatchOptions, ImportDefaultsAndChoices) {
  const BatchOptions defaults = Parsed("records a.csv");
  EXPECT_EQ(defaults.import.start, 2);
  EXPECT_FALSE(defaults.import.end);
  EXPECT_EQ(defaults.import.expressions, (data::Expressions{u"A"_s, u"B"_s, u"C"_s}));

  const BatchOptions chosen = Parsed(
      "records a.xlsx --sheet S2 --start 3 --end 9 --recipient B --postcode A --address C,D "
      "--filter-line-breaks");
  EXPECT_EQ(chosen.source, u"a.xlsx");
  EXPECT_EQ(chosen.import.sheet, u"S2");
  EXPECT_EQ(chosen.import.start, 3);
  EXPECT_EQ(chosen.import.end, 9);
  EXPECT_EQ(chosen.import.expressions, (data::Expressions{u"B"_s, u"A"_s, u"C,D"_s}));
  EXPECT_TRUE(chosen.import.filterLineBreaks);
}

TEST(BatchOptions, CleaningStepsKeepTheirOrder) {
  const BatchOptions o = Parsed(
      "records a.csv --complete-postcodes --remove-incomplete address --merge-duplicates --remove-spaces "
      "--remove-line-breaks --remove-incomplete name");
  const std::vector<CleaningStep> expected = {
      {CleaningStep::kCompletePostcodes}, {CleaningStep::kRemoveIncomplete, 2},
      {CleaningStep::kMergeDuplicates},   {CleaningStep::kRemoveSpaces},
      {CleaningStep::kRemoveLineBreaks},  {CleaningStep::kRemoveIncomplete, 0},
  };
  EXPECT_EQ(o.cleaning, expected);
}

TEST(BatchOptions, EnvelopeAndLabelChoices) {
  const struct {
    const char* line;
    int size, W, H;
  } sizes[] = {
      {"dl", 2, 0, 0}, {"C4", 5, 0, 0}, {"c6", 0, 0, 0}, {"220x111", 6, 220, 111}, {"229*162", 6, 229, 162}};
  for (const auto& s : sizes) {
    const BatchOptions o = Parsed(("envelopes a.csv -o x.pdf --size " + std::string(s.line)).c_str());
    EXPECT_EQ(o.envelope.size, s.size) << s.line;
    EXPECT_EQ(o.envelope.customW.value_or(0), s.W) << s.line;
    EXPECT_EQ(o.envelope.customH.value_or(0), s.H) << s.line;
  }

  const BatchOptions e = Parsed(
      "envelopes a.csv --printer P --landscape-printing --centre-feed --rotate --dpi 300 --margins 14.5,-2");
  EXPECT_EQ(e.printer, u"P");
  EXPECT_EQ(e.envelope.portrait, false);
  EXPECT_EQ(e.envelope.centreFeed, true);
  EXPECT_EQ(e.envelope.rotate, true);
  EXPECT_EQ(e.envelope.dpi, 300);
  EXPECT_EQ(e.envelope.marginX, 14.5);
  EXPECT_EQ(e.envelope.marginY, -2);
  EXPECT_FALSE(Parsed("envelopes a.csv -o x.pdf").envelope.rotate) << "unset options keep the stored ones";

  const BatchOptions l = Parsed(
      "labels a.csv -o x.pdf --across 3 --down 8 --shrink 2 --paper 210x297 --landscape --no-separators "
      "--items name,tag");
  EXPECT_EQ(l.labels.across, u"3");
  EXPECT_EQ(l.labels.down, u"8");
  EXPECT_EQ(l.labels.shrink, u"2");
  EXPECT_EQ(l.labels.paperWidth, u"210");
  EXPECT_TRUE(l.labels.landscape);
  EXPECT_FALSE(l.labels.separators);
  EXPECT_EQ(l.labels.items, (std::vector<int>{labels::kNameCheck, labels::kTagCheck}));
}

}  // namespace
}  // namespace batch
