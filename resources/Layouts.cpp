#include "resources/Layouts.h"

namespace {

constexpr const char* kProportionalGothic = "ＭＳ Ｐゴシック";
constexpr const char* kFixedGothic = "ＭＳ ゴシック";

constexpr FontLayout kFormFont = {kProportionalGothic, 12, false, false};
constexpr FontLayout kParentFont = {nullptr, 0, false, false};
constexpr FontLayout kBoldFont = {nullptr, 0, true, false};
constexpr FontLayout kFixedFont = {kFixedGothic, 12, false, false};
constexpr FontLayout kTitleFont = {kProportionalGothic, 29, true, true};

struct Box {
    int32_t left, top, width, height;
};

constexpr ControlLayout Entry(const char* name, ControlKind kind, Box box, const char* text,
                              uint32_t flags, FontLayout font, uint32_t color, int32_t value) {
    ControlLayout entry = {};
    entry.name = name;
    entry.kind = kind;
    entry.left = box.left;
    entry.top = box.top;
    entry.width = box.width;
    entry.height = box.height;
    entry.text = text;
    entry.flags = flags;
    entry.font = font;
    entry.color = color;
    entry.value = value;
    return entry;
}

constexpr ControlLayout Label(const char* name, Box box, const char* text, uint32_t flags,
                              FontLayout font = kParentFont, uint32_t color = kColorWindowText) {
    return Entry(name, ControlKind::Label, box, text, flags, font, color, 0);
}

constexpr ControlLayout StaticText(const char* name, Box box, const char* text, uint32_t flags,
                                   FontLayout font) {
    return Entry(name, ControlKind::StaticText, box, text, flags, font, kColorWindowText, 0);
}

constexpr ControlLayout Button(const char* name, Box box, const char* text, uint32_t flags = 0) {
    return Entry(name, ControlKind::Button, box, text, flags, kParentFont, kColorWindowText, 0);
}

// Controls without a text of their own; `value` is a progress bar's maximum or a
// timer's interval.
constexpr ControlLayout Other(const char* name, ControlKind kind, Box box, uint32_t flags = 0,
                              int32_t value = 0) {
    return Entry(name, kind, box, "", flags, kParentFont, kColorWindowText, value);
}

constexpr ControlLayout EditWithLabel(const char* name, Box box, const char* label) {
    return Entry(name, ControlKind::Edit, box, label, 0, kParentFont, kColorWindowText, 0);
}

template <size_t N>
constexpr FormLayout Form(const char* className, const char* caption, int32_t width, int32_t height,
                          FormBorder border, bool stayOnTop, const ControlLayout (&controls)[N],
                          bool fullScreen = false) {
    return {className,
            caption,
            width,
            height,
            border,
            stayOnTop,
            /*centered=*/!fullScreen,
            fullScreen,
            /*dialogKeys=*/border != FormBorder::None,
            kFormFont,
            controls,
            N};
}

// The image lies above the panel, inside its 2 px bevel.
constexpr ControlLayout kMenuControls[] = {
    Other("imMain", ControlKind::Image, {2, 2, 237, 150}),
    Other("Panel1", ControlKind::Panel, {0, 0, 241, 154}, kFillClient),
};

constexpr ControlLayout kBrouseControls[] = {
    Button("btNext", {172, 184, 83, 21}, "開始(&S)", kDefault),
    Button("btBrouse", {272, 84, 61, 21}, "参照...(&B)"),
    Button("btBefore", {92, 184, 81, 21}, "< 戻る(&P)"),
    EditWithLabel("edDstFolderName", {20, 84, 253, 20}, "インストール先フォルダ名"),
    Button("btCancel", {268, 184, 75, 21}, "キャンセル", kCancel),
    StaticText("StaticText1", {24, 20, 301, 16},
               "インストール先を指定して[開始]をクリックしてください.", kCentered, kBoldFont),
    Label("lbNeedSize", {48, 120, 0, 0}, "", kAutoSize, kFixedFont),
    Label("lbFreeSize", {48, 140, 0, 0}, "", kAutoSize, kFixedFont),
    Other("Bevel1", ControlKind::Bevel, {4, 172, 345, 9}),
};

constexpr ControlLayout kInstallReadyMsgControls[] = {
    StaticText("StaticText1", {24, 20, 185, 16}, "インストールの準備をしています.", 0, kBoldFont),
};

constexpr ControlLayout kInstallProgressControls[] = {
    Label("lbStatus", {12, 12, 249, 33}, "インストールを開始します.", kCentered, kBoldFont),
    Other("pbBar", ControlKind::ProgressBar, {8, 48, 253, 16}, 0, 100),
    Button("btCancel", {100, 76, 77, 21}, "キャンセル", kCancel),
    Other("tmStart", ControlKind::Timer, {0, 0, 0, 0}, 0, 500),
};

constexpr ControlLayout kUninstallProgressControls[] = {
    Label("lbStatus", {8, 12, 253, 12}, "アンインストールを開始します.", kCentered, kBoldFont),
    Other("pbBar", ControlKind::ProgressBar, {8, 32, 253, 16}, 0, 100),
    Button("btCancel", {100, 60, 77, 21}, "キャンセル", kCancel),
    Other("tmStart", ControlKind::Timer, {0, 0, 0, 0}, 0, 500),
};

// The title lies above its shadow, both above the picture.
constexpr ControlLayout kInstallBackControls[] = {
    Label("lbTitle", {28, 28, 0, 0}, "", kAutoSize | kTransparent, kTitleFont, kColorWhite),
    Label("lbTitleShadow", {30, 30, 0, 0}, "", kAutoSize | kTransparent, kTitleFont, kColorBlack),
    Other("imBack", ControlKind::Image, {0, 0, 250, 132}, kFillClient),
};

constexpr ControlLayout kInstallInfoControls[] = {
    Button("btNext", {172, 184, 83, 21}, "次へ(&N) >", kDefault),
    Button("btBefore", {92, 184, 81, 21}, "< 戻る(&P)"),
    Button("btCancel", {268, 184, 75, 21}, "キャンセル", kCancel),
    Other("mmInfo", ControlKind::Memo, {20, 44, 309, 117}),
    Label("lbInfo", {24, 8, 0, 0}, "", kAutoSize),
    Other("Bevel1", ControlKind::Bevel, {4, 172, 345, 9}),
};

}  // namespace

// The menu's text is the application title, which the task bar shows.
const FormLayout kMenuLayout =
    Form("TfmMenu", "", 241, 154, FormBorder::None, false, kMenuControls);

const FormLayout kBrouseLayout =
    Form("TfmBrouse", "インストール先", 352, 213, FormBorder::Dialog, true, kBrouseControls);

const FormLayout kInstallReadyMsgLayout =
    Form("TfmInstallReadyMsg", "状況", 240, 57, FormBorder::DialogWithoutMenu, true,
         kInstallReadyMsgControls);

const FormLayout kInstallProgressLayout = Form("TfmInstallProgress", "進行状況", 272, 103,
                                               FormBorder::Dialog, true, kInstallProgressControls);

const FormLayout kUninstallProgressLayout =
    Form("TfmUninstallProgress", "進行状況", 271, 90, FormBorder::Dialog, true,
         kUninstallProgressControls);

const FormLayout kInstallBackLayout = Form("TfmInstallBack", "", 250, 132, FormBorder::None, false,
                                           kInstallBackControls, /*fullScreen=*/true);

const FormLayout kInstallInfoLayout = Form("TfmInstallInfo", "インフォメーション", 352, 213,
                                           FormBorder::Dialog, true, kInstallInfoControls);
