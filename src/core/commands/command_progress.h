#pragma once
// What the copy and delete commands need from the window: the progress dialog, the cancel flag, a
// turn for pending events, the message log, a pause and the beep. The window implements it; tests
// record it.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The header's colour while a loop runs; otherwise it has the window-text colour.
inline constexpr std::uint32_t ProgressHeaderGrey = 0x00666666;

// Every control of the progress dialog that the commands set, as one state. All texts are UTF-8.
struct ProgressDialogState {
  std::string Header;       // LBCopying
  bool HeaderGrey = false;  // ProgressHeaderGrey instead of the window-text colour
  std::string Line1;        // LBCopying1
  std::string Line2;        // LBCopying2
  std::string Line3;        // LBCopying3
  // The delete confirmation's list of what will go, one path a line; empty otherwise.
  std::string Names;
  bool Line2Bold = false;
  bool Line3Bold = false;
  bool OkEnabled = true;      // BTOK
  bool CancelEnabled = true;  // BTCancel
  bool BarVisible = true;     // PBCopying, range 0 to BarMaximum
  std::int32_t BarMaximum = 100;
  std::int32_t BarPosition = 0;

  bool operator==(const ProgressDialogState&) const = default;
};

enum class ProgressLine { Line1, Line2, Line3 };

class CommandProgress {
 public:
  virtual ~CommandProgress() = default;

  // Lets pending window events run: repaints, a click on 中止, other input.
  virtual void ProcessEvents() = 0;
  // The shared cancel flag CopyCancelRequested, which the window owns and 中止 sets.
  virtual bool CopyCancelRequested() = 0;
  virtual void ClearCopyCancel() = 0;

  // Puts the state into the dialog, shows it (not modally) and gives it the keyboard focus.
  virtual void ShowDialog(const ProgressDialogState& state) = 0;
  // Puts the state into the dialog and repaints it at once. A dialog that the user has closed
  // meanwhile stays hidden.
  virtual void UpdateDialog(const ProgressDialogState& state) = 0;
  // Puts the state into the dialog and shows it modally (hiding it first when a finished command
  // left it open); true when it ends with ＯＫ, false for 中止 or the close box.
  virtual bool ConfirmInDialog(const ProgressDialogState& state) = 0;

  // The widest a path may be drawn in a label: the dialog's outer width less 40 pixels.
  virtual int PathWidthLimit() = 0;
  // The drawn width of a UTF-8 text in the label's current font.
  virtual int TextWidth(ProgressLine line, std::string_view text) = 0;

  // Appends one finished UTF-8 line to the message log; an empty text is a blank separator line.
  virtual void AddLine(const std::string& text) = 0;
  // Blocks for the wait after each file (the settings value copywait).
  virtual void Pause(int milliseconds) = 0;
  virtual void Beep() = 0;
};

// The end of a command's loop: the dialog in its finished state (header in the window-text colour,
// ＯＫ enabled, 中止 disabled) with the header text, then the closing log line and the beep.
void FinishCommand(CommandProgress& progress, ProgressDialogState& dialog, std::string header,
                   const std::string& logLine);

// The path decoded for display and shortened to the label's width.
std::string PathForLabel(CommandProgress& progress, ProgressLine line, std::string_view path);

}  // namespace tarvex
