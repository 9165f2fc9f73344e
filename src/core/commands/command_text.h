#pragma once
// Fixed texts that the copy and delete commands show.

namespace tarvex {

// A command whose root has vanished or is another folder than the scan listed.
inline constexpr const char* RootChangedText =
    "フォルダが見つからないか、スキャンした時と違うフォルダです。最新の状態に更新してください。";

// An undo whose command's folder has vanished or is another folder now.
inline constexpr const char* UndoRootChangedText =
    "コマンドを実行した時のフォルダが見つからないか、別のフォルダになっています。元に戻せません。";

}  // namespace tarvex
