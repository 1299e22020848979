// Names shared with others: notification types and the control names the
// windows look up (each must match the layouts exactly), and the names other
// processes use to reach a running installer.
#pragma once

namespace config {
namespace names {

// Notification types.
inline constexpr wchar_t kClick[] = L"click";
inline constexpr wchar_t kKillFocus[] = L"killfocus";
inline constexpr wchar_t kSelectChanged[] = L"selectchanged";
inline constexpr wchar_t kItemSelect[] = L"itemselect";

// Controls of the prompt and error boxes.
inline constexpr wchar_t kBtnLeft[] = L"btnLeft";
inline constexpr wchar_t kBtnRight[] = L"btnRight";
inline constexpr wchar_t kBtnSure[] = L"btnSure";
inline constexpr wchar_t kLoadingContactUsBtn[] = L"loadingContactUsBtn";

// Controls of the main window.
inline constexpr wchar_t kInstallNowBtn[] = L"installnowbtn";
inline constexpr wchar_t kUserDefinitionBtn[] = L"userdefinitionBtn";
inline constexpr wchar_t kBackBtn[] = L"backBtn";
inline constexpr wchar_t kPathEdit[] = L"pathedit";
inline constexpr wchar_t kBrowseBtn[] = L"browsebtn";
inline constexpr wchar_t kProtocolLinkBtn[] = L"protocollinkbtn";
inline constexpr wchar_t kJoinFacebookBtn[] = L"joinfacebookBtn";
inline constexpr wchar_t kCloseBtn[] = L"closebtn";
inline constexpr wchar_t kHomepageBtn[] = L"homepageBtn";
inline constexpr wchar_t kTasteNowBtn[] = L"tastenowbtn";
inline constexpr wchar_t kConfirmProtocolBtn[] = L"confirmprotocolbtn";
inline constexpr wchar_t kAcceptProtocolOpt[] = L"acceptprotocolopt";
inline constexpr wchar_t kLanguageCombo[] = L"languageCombo";

// Single-instance mutex and the IPC window class share this name.
inline constexpr wchar_t kInstanceName[] = L"{2266E930-7040-4A6B-B7C8-E44663785cdd}";
// Window messages between instances and from the emulator's installer.
inline constexpr unsigned kMsgActivate = 11123;         // wParam 0, lParam 0
inline constexpr unsigned kMsgInstallerFailed = 11124;  // wParam = error code

}  // namespace names
}  // namespace config
