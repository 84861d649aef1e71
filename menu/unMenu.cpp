#include "menu/unMenu.h"

#include "config/SetupSettings.h"
#include "forms/MessageBox.h"
#include "install/MessageFile.h"
#include "install/RegistryRecords.h"
#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "install/unInstallReadyMsg.h"
#include "menu/MenuFlow.h"
#include "menu/MenuKeys.h"
#include "resources/Layouts.h"
#include "system/Jpeg.h"
#include "system/win32/BitmapResource.h"
#include "uninstall/unUninstallProgress.h"

TfmMenu* fmMenu = nullptr;

namespace {

const wchar_t* const kDefaultPictureResource = L"SETUP_BACK";
const wchar_t* const kLabelStripResource = L"SETUP_BTN";
// The picture sits inside the panel's 2 px bevel.
const int kBevelWidth = 2;
const int kBlinkCount = 3;
const DWORD kBlinkStepMs = 75;

const char* const kIniMissingText = "Setup.iniが見つかりません.";
const char* const kPictureTooSmallText = "SETUP.jpgの大きさが小さすぎる.";
// A picture that cannot be decoded, or is too large to be held in its three looks.
const char* const kPictureUnreadableText = "SETUP.jpgを読み込めません.";
const char* const kAlreadyInstalledText =
    "ソフトは既にインストールされています."
    "\n再インストールはアンインストールしてから行ってください.";
const char* const kConfirmUninstallText = "ソフトを削除してよろしいですか？";
const char* const kProgramVanishedText =
    "通常のアンインストール以外の方法で実行ファイルが削除されています."
    "\nアンインストールを行いますか？";

// Closing a progress window shows the menu while its engine goes on to its next
// cancel point.
bool EngineRunning() {
    return fmInstallProgress->EngineRunning || fmUninstallProgress->EngineRunning;
}

}  // namespace

TfmMenu::TfmMenu(Application& application, System& system, const Medium& medium)
    : Form(application, kMenuLayout),
      imMain(Find<Image>("imMain")),
      Panel1(Find<Panel>("Panel1")),
      system_(system),
      medium_(medium) {
    OnShow = [this] { FormShow(); };
    OnKeyDown = [this](int key) { FormKeyDown(key); };
    imMain.OnMouseMove = [this](int x, int y) { imMainMouseMove(x, y); };
    imMain.OnMouseDown = [this](int x, int y) { imMainMouseDown(x, y); };
    SetAccessibleClient(slots_);
    FormCreate();
}

// Runs while the other windows do not exist yet.
void TfmMenu::FormCreate() {
    if (!system_.OpenForRead(medium_.RequiredSettingsFile)) {
        IniMissing = true;
        return;
    }
    LoadSettings(SetupSettings, medium_, system_, system_);

    Bitmap picture;
    const bool fromFile = LoadMenuPicture(medium_.MenuPicture, picture);
    Bitmap strip;
    LoadBitmapResource(kLabelStripResource, strip);
    if (!ComposeLooks(picture, strip) && fromFile) {
        ShowMessageBox(kPictureUnreadableText, kCaptionError, MessageButtons::Ok);
        LoadBitmapResource(kDefaultPictureResource, picture);
        ComposeLooks(picture, strip);
    }

    const int32_t width = Pictures.PicNormal.Width();
    const int32_t height = Pictures.PicNormal.Height();
    SetClientSize(width + 2 * kBevelWidth, height + 2 * kBevelWidth);
    imMain.SetBounds(kBevelWidth, kBevelWidth, width, height);
}

// "SETUP.jpg" when it exists and will do, otherwise the built-in picture; true
// for the file's picture.
bool TfmMenu::LoadMenuPicture(const std::string& path, Bitmap& picture) {
    if (system_.FileExists(path)) {
        if (!LoadJpegFile(system_, path, picture)) {
            ShowMessageBox(kPictureUnreadableText, kCaptionError, MessageButtons::Ok);
        } else if (!IsMenuPictureLargeEnough(picture)) {
            ShowMessageBox(kPictureTooSmallText, kCaptionError, MessageButtons::Ok);
        } else {
            return true;
        }
    }
    LoadBitmapResource(kDefaultPictureResource, picture);
    return false;
}

// Lays out the slots for the picture and draws the labels into its three looks;
// false when memory runs out.
bool TfmMenu::ComposeLooks(const Bitmap& picture, const Bitmap& strip) {
    LayoutButtonSlots(picture.Width(), picture.Height(), SetupSettings.ButtonAlign,
                      SetupSettings.ButtonRects);
    return ComposeMenuPictures(picture, strip, SetupSettings, Pictures);
}

void TfmMenu::FormShow() {
    if (IniMissing) {
        ShowMessageBox(kIniMissingText, kCaptionError, MessageButtons::Ok);
        Close();
        return;
    }
    ShowInstallState();
}

// The install state decides which slot is dimmed; the highlight starts at none.
void TfmMenu::ShowInstallState() {
    Bitmap& shown = imMain.Picture();
    shown.CopyFrom(Pictures.PicNormal);
    const std::string installedPath = ReadInstalledPath(system_, SetupSettings.SoftName);
    Installed = !installedPath.empty();
    CopySlotRect(Pictures.PicDim, shown,
                 SetupSettings.ButtonRects[Installed ? kSlotInstall : kSlotUninstall]);
    imMain.Changed();
    HotIndex = -1;
    Busy = false;

    // Idle handlers run once the message loop has drawn the menu and, since an
    // engine runs inside a handler, only after any engine has stopped.
    if (EngineRunning()) {
        App().SetIdleHandler([this] { ShowInstallState(); });
    } else if (IsInstalledProgramMissing(system_, installedPath)) {
        App().SetIdleHandler([this] { AskUninstallVanishedProgram(); });
    }
}

void TfmMenu::AskUninstallVanishedProgram() {
    // Input that was already queued may have moved on from the menu meanwhile.
    if (!Visible()) {
        return;
    }
    if (ShowMessageBox(kProgramVanishedText, kCaptionConfirm, MessageButtons::OkCancel)) {
        StartUninstall();
    }
}

// Input while an action or an engine runs would start a second flow inside the
// first; it is dropped.
bool TfmMenu::TakesInput() const {
    return !Busy && !EngineRunning();
}

void TfmMenu::SetHot(int32_t index, bool moveCursor) {
    if (index == HotIndex) {
        return;
    }
    const ButtonRect* rects = SetupSettings.ButtonRects;
    Bitmap& shown = imMain.Picture();
    if (HotIndex >= 0) {
        CopySlotRect(Pictures.PicNormal, shown, rects[HotIndex]);
    }
    if (index >= 0) {
        CopySlotRect(Pictures.PicHot, shown, rects[index]);
    }
    imMain.Changed();
    if (moveCursor && index >= 0) {
        MoveCursorInto(rects[index]);
    }
    HotIndex = index;
    if (index >= 0) {
        NotifyItemFocus(index - kSlotInstall);
    }
}

void TfmMenu::MoveCursorInto(const ButtonRect& rect) {
    RECT window;
    GetWindowRect(Handle(), &window);
    const ScreenPoint point = HotCursorPoint(rect, window.left, window.top);
    POINT from;
    GetCursorPos(&from);
    ScreenToClient(imMain.Handle(), &from);
    POINT to = {point.x, point.y};
    ScreenToClient(imMain.Handle(), &to);
    pointer_.CursorMoved(from.x, from.y, to.x, to.y);
    SetCursorPos(point.x, point.y);
}

void TfmMenu::imMainMouseMove(int x, int y) {
    if (!TakesInput()) {
        return;
    }
    SetHot(pointer_.SlotForMove(SetupSettings.ButtonRects, Installed, HotIndex, x, y), false);
}

void TfmMenu::imMainMouseDown(int x, int y) {
    if (!TakesInput()) {
        return;
    }
    SetHot(pointer_.SlotForClick(SetupSettings.ButtonRects, Installed, x, y), false);
    MenuAction(HotIndex);
}

void TfmMenu::FormKeyDown(int key) {
    if (!TakesInput()) {
        return;
    }
    const MenuKeyEffect effect = MenuKeyDown(static_cast<uint32_t>(key), HotIndex, Installed);
    switch (effect.kind) {
        case MenuKeyEffect::Activate:
            MenuAction(effect.slot);
            break;
        case MenuKeyEffect::Highlight:
            SetHot(effect.slot, true);
            break;
        case MenuKeyEffect::Nothing:
            break;
    }
}

void TfmMenu::MenuAction(int32_t index) {
    if (index < 0) {
        return;
    }
    Busy = true;
    // An exception out of the action (no memory for a huge source tree, say) is shown
    // like any other; then the menu is back on its own and takes input again.
    if (!App().Guard([this, index] { Act(index); })) {
        for (Form* form : {static_cast<Form*>(fmInstallReadyMsg), static_cast<Form*>(fmInstallInfo),
                           static_cast<Form*>(fmBrouse), static_cast<Form*>(fmInstallBack)}) {
            form->Hide();
        }
        Show();
    }
    Busy = false;
}

void TfmMenu::Act(int32_t index) {
    Blink(SetupSettings.ButtonRects[index]);
    if (index != kSlotExit && SetupSettings.SoftName.empty()) {
        ShowMessageBox(kSettingsFaultMessage, kCaptionError, MessageButtons::Ok);
        return;
    }
    switch (index) {
        case kSlotInstall:
            StartInstall();
            break;
        case kSlotUninstall:
            if (ShowMessageBox(kConfirmUninstallText, kCaptionConfirm, MessageButtons::YesNo)) {
                StartUninstall();
            }
            break;
        case kSlotExit:
            Close();
            break;
    }
}

// Ends highlighted.
void TfmMenu::Blink(const ButtonRect& rect) {
    Bitmap& shown = imMain.Picture();
    for (int i = 0; i < kBlinkCount; ++i) {
        for (const Bitmap* look : {&Pictures.PicNormal, &Pictures.PicHot}) {
            CopySlotRect(*look, shown, rect);
            imMain.Changed();
            App().ProcessMessages();
            Sleep(kBlinkStepMs);
        }
    }
}

// The dialogs lead the flow from here, and every way out of it shows the menu again.
void TfmMenu::StartInstall() {
    fmInstallBack->Show();
    fmInstallReadyMsg->Show();
    App().ProcessMessages();
    if (!PrepareInstall(SetupSettings, system_)) {
        ShowMessageBox(kAlreadyInstalledText, kCaptionWarning, MessageButtons::Ok);
    }
    fmInstallReadyMsg->Hide();
    Hide();
    if (MessageFileExists(system_, medium_)) {
        fmInstallInfo->Show();
    } else {
        fmBrouse->Show();
    }
}

void TfmMenu::StartUninstall() {
    Hide();
    fmUninstallProgress->Show();
}

// ---- The slots as accessible items ----

int TfmMenu::Slots::ItemCount() const {
    return kSlotCount - kSlotInstall;
}

const char* TfmMenu::Slots::ItemName(int index) const {
    return kSlotLabels[index + kSlotInstall];
}

bool TfmMenu::Slots::ItemEnabled(int index) const {
    return IsSlotLive(index + kSlotInstall, menu_.Installed);
}

int TfmMenu::Slots::FocusedItem() const {
    return menu_.HotIndex >= kSlotInstall ? menu_.HotIndex - kSlotInstall : -1;
}

RECT TfmMenu::Slots::ItemBounds(int index) const {
    const ButtonRect& rect = SetupSettings.ButtonRects[index + kSlotInstall];
    const RECT picture = menu_.imMain.Bounds();
    return {picture.left + rect.left, picture.top + rect.top, picture.left + rect.right,
            picture.top + rect.bottom};
}

// What a click on the slot does.
void TfmMenu::Slots::ItemAction(int index) {
    const int32_t slot = index + kSlotInstall;
    if (!menu_.Visible() || !menu_.TakesInput() || !IsSlotLive(slot, menu_.Installed)) {
        return;
    }
    menu_.SetHot(slot, false);
    menu_.MenuAction(menu_.HotIndex);
}
