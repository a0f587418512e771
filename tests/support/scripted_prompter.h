#pragma once
// A prompter for tests: records every text it is shown and answers the
// questions from a queue; an unexpected question fails the test.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "legendfile/prompter.h"

namespace testcln {

class ScriptedPrompter : public legend::Prompter {
 public:
  std::vector<std::string> shown;
  std::deque<bool> answers;
  /// When set, every question must offer this default button.
  std::optional<bool> expectedDefault;
  int beeps = 0;

  /// The details shown with the messages, in order.
  std::vector<std::string> details;

  void inform(std::string_view text) override { shown.emplace_back(text); }
  void informWithDetail(std::string_view text, std::string_view detail) override {
    shown.emplace_back(text);
    details.emplace_back(detail);
  }
  void beep() override { ++beeps; }
  bool askYesNo(std::string_view text, bool defaultYes) override {
    shown.emplace_back(text);
    if (expectedDefault) {
      EXPECT_EQ(defaultYes, *expectedDefault) << text;
    }
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question " << text;
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace testcln
