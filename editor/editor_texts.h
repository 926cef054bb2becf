#pragma once
// Texts of the layout editor: the envelope tab's size controls and canvas, the editing tips, the
// popup menus and the font dialog, exactly as the user sees them.

#include <QString>

namespace editor {

inline const QString kSizeFrameCaption = QStringLiteral("信 封 规 格");
inline const QString kSizeFrameTip = QStringLiteral(
    "Kovapost提示：如果打印标准信封，可从“标准信封规格”中选择尺寸，如不是标准信封，请选尺寸。");
inline const QString kCustomWidthLabel = QStringLiteral("信封宽度：　　(毫米)");
inline const QString kCustomHeightLabel = QStringLiteral("信封高度：　　(毫米)");
inline const QString kCustomWidthTip =
    QStringLiteral("根据信封长度填入，标准信封无须填写，只须选择右侧的标号即可。");
inline const QString kCustomHeightTip =
    QStringLiteral("根据信封宽度填入，标准信封无须填写，只须选择右侧的标号即可。");
inline const QString kCustomCaptionPrefix = QStringLiteral("自定义：");
inline const QString kBadProportions = QStringLiteral("您输的信封尺寸比例严重失调，请重新输入！");
inline const QString kPostCodeCaption = QStringLiteral("邮政编码");

// Tip line T2 over a box, by pointer zone.
inline const QString kMoveZoneTip =
    QStringLiteral("提示：按住鼠标左键(别松开),拖动鼠标,即可移动本输入框位置。");
inline const QString kResizeZoneTip =
    QStringLiteral("提示：按住鼠标左键(别松开),拖动鼠标,即可改变本输入框大小。");
inline const QString kTextZoneTip = QStringLiteral("提示：点击鼠标左键,并输入内容。");

// Tip line T2 during a rubber band on the canvas.
inline const QString kBandPressTip =
    QStringLiteral("提示：按住并移动鼠标，可以选中输入框(邮编、地址等)，并调整其位置及大小！");
inline const QString kBandMoveTip = QStringLiteral(
    "Kovapost提示：按下鼠标左键并拖动鼠标可以选中需要修改的文本框，并改变其位置、大小及字体。");
inline const QString kBandReleaseTip =
    QStringLiteral("Kovapost提示：箭头键->移动位置，Shift+箭头键->改变控件大小，Ctrl+箭头键->改变字体大小！");

// The hidden window that owns the popup menus, and the menus themselves.
inline const QString kMenuWindowCaption = QStringLiteral("菜单");
inline const QString kMenuWindowNote = QStringLiteral("本窗口专为弹出菜单设置");
inline const QString kFontStyleItem = QStringLiteral("修改字体/字号");
inline const QString kCopyItem = QStringLiteral("复制");
inline const QString kPasteItem = QStringLiteral("粘贴");
inline const QString kDpiItem = QStringLiteral("设置分辨率");
inline const QString kPlaceItem = QStringLiteral("位置和大小(毫米)…");

// The exact place of a box, typed in millimetres.
inline const QString kPlaceTitle = QStringLiteral("位置和大小");
inline const QString kPlacePrompt =
    QStringLiteral("请输入文本框的左边距、上边距、宽度和高度（毫米，用逗号隔开）：");
inline QString PlaceOutOfRangeText(const QString& width, const QString& height) {
  return QStringLiteral("文本框必须整个在信封内（信封宽 ") + width + QStringLiteral(" 毫米，高 ") + height +
         QStringLiteral(" 毫米），宽度和高度至少 1 毫米。请重新输入！");
}

// The output resolution of rotated printing.
inline const QString kDpiPrompt = QStringLiteral("请输入旋转180度打印时的输出分辨率（DPI）：");
inline const QString kDpiRange = QStringLiteral("(数值范围：10-2000)");
inline const QString kDpiOutOfRange =
    QStringLiteral("输出分辨率范围是10-2000，您输出的值超出了范围，请重新输入！");

// The font dialog.
inline const QString kFontDialogTitle = QStringLiteral("字体");
inline const QString kFontNameLabel = QStringLiteral("字体(&F)：");
inline const QString kFontSizeLabel = QStringLiteral("字号(&S)：");
inline const QString kBoldCaption = QStringLiteral("粗体(&B)");
inline const QString kItalicCaption = QStringLiteral("斜体(&I)");
inline const QString kUnderlineCaption = QStringLiteral("下划线(&U)");
inline const QString kStrikeoutCaption = QStringLiteral("删除线(&K)");
inline const QString kColorLabel = QStringLiteral("颜色(&C)：");
inline const QString kColorDialogTitle = QStringLiteral("颜色");
inline const QString kColorButton = QStringLiteral("选择颜色…");
inline const QString kSampleLabel = QStringLiteral("示例");
inline const QString kSampleText = QStringLiteral("邮政编码 AaBbYyZz 123");

}  // namespace editor
