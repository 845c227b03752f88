#include "demodata/DemoRows.h"

#include <QList>

#include <cstdio>

namespace korvel {

// No value of the label tables holds a comma or a line feed: a label bundle cannot carry
// them, and every demo label must be exportable.

namespace {

const char* const kLabelNames[] = {
    "线束出货标签",      "合格证",     "产品追溯标签", "包装箱标签",        "小包装标签", "Shipping Label",
    "Этикетка упаковки", "梱包ラベル", "포장 라벨",    "Ετικέτα αποστολής",
};
const char* const kPaperWidths[] = {"40.00", "50.00", "60.00", "80.00", "100.00", "101.60"};
const char* const kPaperHeights[] = {"20.00", "25.40", "30.00", "40.00", "60.00", "150.00"};
const int kDpis[] = {203, 300, 600};
const char* const kPrinterModels[] = {"ZT410", "ZD421", "TSC TTP-244 Pro", "GK888t", "SATO CL4NX", nullptr};
const char* const kDescriptionSentences[] = {
    "用于发动机舱线束出货。",
    "标签尺寸按客户图纸要求。",
    "条码内容须与MES一致。",
    "Printed on thermal transfer paper.",
    "Не сгибать.",
    "印字がかすれた場合は交換してください。",
    "客户：比亚迪汽车；版本B。",
};

enum ControlType { kText, kBarcode, kQrCode, kPicture, kLine, kRectangle };

const char* const kFontNames[] = {"宋体", "黑体", "微软雅黑", "仿宋", "Arial", "Tahoma", "MS Gothic", "맑은 고딕"};
const char* const kFontSizes[] = {"6.00", "7.50", "8.00", "9.00", "10.50", "12.00", "14.00", "18.00"};
const char* const kLinearBarcodes[] = {"CODE128", "CODE39", "EAN13", "ITF14"};
const char* const kMatrixBarcodes[] = {"QR", "DATAMATRIX", "PDF417"};
const int kRotations[] = {0, 0, 0, 90, 180, 270};
// Texts printed as they stand; one has a character outside the Basic Multilingual Plane.
const char* const kPrintTexts[] = {
    "品名：",        "规格：",          "批次号：", "生产日期：", "数量：",   "检验员：", "合格",
    "Made in China", "Сделано в Китае", "製造日：", "제조일자:",  "𠮷田工場", "RoHS ✓",   "温度范围 -40℃～125℃",
};
// 8 × 8 fill patterns of rectangles, one byte a row: solid, checker, diagonal, bricks.
const char* const kFillPatterns[] = {"FFFFFFFFFFFFFFFF", "AA55AA55AA55AA55", "8844221188442211", "FF808080FF080808"};

enum SourceType { kFixedText, kDatabaseField, kCounter, kDate };

const char* const kItemNames[] = {"品名", "规格型号", "批次号",   "生产日期",   "序列号",   "客户料号",
                                  "数量", "检验员",   "条码内容", "二维码内容", "公司名称", "Logo"};
const char* const kFieldNames[] = {"HarnessNo", "JobNo", "Customer", "Quantity"};
const char* const kFixedTexts[] = {"线束总成", "深圳市科沃电子有限公司", "KORVEL", "检验合格", "Qty 50", "무연"};
const char* const kDateFormats[] = {"yyyy-MM-dd", "yyyy年MM月dd日", "yyMMdd"};

QByteArray LabelNo(int labelNumber)
{
    char text[32];
    if (labelNumber % 10 == 7)
        std::snprintf(text, sizeof text, "出货标签-%03d", labelNumber);
    else
        std::snprintf(text, sizeof text, "LB-%05d", labelNumber);
    return QByteArray(text);
}

QByteArray Description(DemoRandom& random)
{
    if (random.Chance(50))
        return QByteArray();
    QByteArray text;
    for (int sentence = random.Between(2, 4); sentence > 0; --sentence) {
        if (!text.isEmpty())
            text += ' ';
        text += random.Pick(kDescriptionSentences);
    }
    return text;
}

QByteArray ModifiedAt(DemoRandom& random)
{
    if (random.Chance(30))
        return QByteArray();
    const DemoMoment moment = RandomMoment(random, 2023, 2024);
    return random.Chance(30) ? moment.Day().Text() : moment.Text();
}

ControlType RandomControlType(DemoRandom& random)
{
    const int draw = random.Below(100);
    if (draw < 50)
        return kText;
    if (draw < 65)
        return kBarcode;
    if (draw < 73)
        return kQrCode;
    if (draw < 77)
        return kPicture;
    return draw < 87 ? kLine : kRectangle;
}

bool InsertLabel(RowInserter& labels, DemoRandom& random, int labelNumber, const QByteArray& labelId, QString& error)
{
    labels.Text(labelId).Text(LabelNo(labelNumber)).Text(random.Pick(kLabelNames)).Int(labelNumber % 6 == 0 ? 0 : 1);
    labels.Text(random.Pick(kPaperWidths)).Text(random.Pick(kPaperHeights)).Int(random.Pick(kDpis));
    if (random.Chance(20))
        labels.null();
    else
        labels.Int(random.Between(5, 30));
    labels.Text(random.Pick(kPrinterModels)).Text(Description(random));
    labels.Blob(labelNumber % 4 == 1 ? DemoBitmap(random, 240, 120) : QByteArray());
    labels.Blob(labelNumber % 9 == 0 ? QByteArray() : random.Bytes(16)).Int(random.Chance(20) ? 1 : 0);
    labels.Text(PickCreator(random)).Text(RandomMoment(random, 2020, 2022).Text()).Text(ModifiedAt(random));
    return labels.Insert(error);
}

bool InsertControl(RowInserter& controls, DemoRandom& random, const QByteArray& labelId, int controlNo,
                   const QByteArray& itemId, QString& error)
{
    const ControlType type = RandomControlType(random);
    const bool printsText = type == kText || type == kBarcode;
    controls.Text(labelId).Int(controlNo).Text(itemId).Int(type);
    controls.Int(random.Below(800)).Int(random.Below(600)).Int(random.Between(10, 600));
    controls.Int(type == kLine ? random.Between(1, 4) : random.Between(10, 300)).Int(random.Pick(kRotations));
    controls.Text(printsText ? random.Pick(kFontNames) : nullptr).Text(printsText ? random.Pick(kFontSizes) : nullptr);
    controls.Int(random.Chance(25) ? 1 : 0).Int(random.Chance(5) ? 1 : 0);
    const int colourDraw = random.Below(100);
    controls.Int(colourDraw < 85 ? 0 : (colourDraw < 95 ? 0x0000FF : 0xFF0000));
    if (type == kBarcode)
        controls.Text(random.Pick(kLinearBarcodes));
    else
        controls.Text(type == kQrCode ? random.Pick(kMatrixBarcodes) : nullptr);
    controls.Text(type == kText ? random.Pick(kPrintTexts) : nullptr);
    controls.Blob(type == kRectangle && random.Chance(70) ? QByteArray::fromHex(random.Pick(kFillPatterns))
                                                          : QByteArray());
    controls.Blob(type == kPicture ? DemoBitmap(random, 128, 96) : QByteArray());
    return controls.Insert(error);
}

bool InsertItem(RowInserter& items, DemoRandom& random, const QByteArray& itemId, QString& error)
{
    const SourceType source = static_cast<SourceType>(random.Below(kDate + 1));
    items.Text(itemId).Text(random.Pick(kItemNames)).Int(source);
    items.Text(source == kDatabaseField ? random.Pick(kFieldNames) : nullptr);
    items.Text(source == kFixedText ? random.Pick(kFixedTexts) : nullptr);
    if (source == kCounter)
        items.Text("00000000");
    else
        items.Text(source == kDate ? random.Pick(kDateFormats) : nullptr);
    if (random.Chance(50))
        items.null();
    else
        items.Int(random.Between(8, 64));
    // Serial counters run past the range of a 32-bit integer.
    if (source == kCounter)
        items.Int(202400000001LL + random.Below(1000) * 1000LL);
    else
        items.null();
    items.Text(ModifiedAt(random));
    return items.Insert(error);
}

} // namespace

bool SeedDemoLabels(sqlite3* db, int count, QString& error)
{
    RowInserter labels;
    RowInserter controls;
    RowInserter items;
    if (!labels.prepare(db, "tblLabelInfo",
                        "LabelID, LabelNo, LabelName, LabelStatus, PaperWidth, PaperHeight, Dpi, Darkness, "
                        "PrinterModel, Description, Logo, Checksum, IsLocked, CreatedBy, CreatedAt, ModifiedAt",
                        error) ||
        !controls.prepare(db, "tblLabelControls",
                          "LabelID, ControlNo, ItemID, ControlType, X, Y, Width, Height, Rotation, FontName, "
                          "FontSize, Bold, Italic, ForeColor, BarcodeType, PrintText, FillPattern, Picture",
                          error) ||
        !items.prepare(db, "tblLabelControlItem",
                       "ItemID, ItemName, SourceType, FieldName, DefaultValue, FormatString, MaxLength, "
                       "CounterStart, ModifiedAt",
                       error))
        return false;
    for (int labelNumber = 1; labelNumber <= count; ++labelNumber) {
        DemoRandom random = DemoRandom::For(DemoStream::Labels, labelNumber);
        const QByteArray labelId = random.Guid();
        if (!InsertLabel(labels, random, labelNumber, labelId, error))
            return false;

        // Fewer items than controls, so that controls share items; some labels keep an
        // item that no control uses any more.
        const int controlCount = random.Between(5, 30);
        const int usedItems = (controlCount * 3 + 4) / 5;
        QList<QByteArray> itemIds;
        for (int item = usedItems + (labelNumber % 10 == 3 ? 1 : 0); item > 0; --item)
            itemIds.append(random.Guid());
        for (int controlNo = 1; controlNo <= controlCount; ++controlNo) {
            const int item = controlNo <= usedItems ? controlNo - 1 : random.Below(usedItems);
            if (!InsertControl(controls, random, labelId, controlNo, itemIds[item], error))
                return false;
        }
        for (const QByteArray& itemId : itemIds) {
            if (!InsertItem(items, random, itemId, error))
                return false;
        }
    }
    return true;
}

} // namespace korvel
