#pragma once
// Texts of the envelope tab's size controls and canvas, exactly as the user sees them.

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

}  // namespace editor
