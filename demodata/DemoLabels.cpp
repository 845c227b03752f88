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

QByteArray labelNo(int labelNumber)
{
    char text[32];
    if (labelNumber % 10 == 7)
        std::snprintf(text, sizeof text, "出货标签-%03d", labelNumber);
    else
        std::snprintf(text, sizeof text, "LB-%05d", labelNumber);
    return QByteArray(text);
}

QByteArray description(DemoRandom& random)
{
    if (random.chance(50))
        return QByteArray();
    QByteArray text;
    for (int sentence = random.between(2, 4); sentence > 0; --sentence) {
        if (!text.isEmpty())
            text += ' ';
        text += random.pick(kDescriptionSentences);
    }
    return text;
}

QByteArray modifiedAt(DemoRandom& random)
{
    if (random.chance(30))
        return QByteArray();
    const DemoMoment moment = randomMoment(random, 2023, 2024);
    return random.chance(30) ? moment.day().text() : moment.text();
}

ControlType randomControlType(DemoRandom& random)
{
    const int draw = random.below(100);
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

bool insertLabel(RowInserter& labels, DemoRandom& random, int labelNumber, const QByteArray& labelId, QString& error)
{
    labels.text(labelId).text(labelNo(labelNumber)).text(random.pick(kLabelNames)).integer(labelNumber % 6 == 0 ? 0 : 1);
    labels.text(random.pick(kPaperWidths)).text(random.pick(kPaperHeights)).integer(random.pick(kDpis));
    if (random.chance(20))
        labels.null();
    else
        labels.integer(random.between(5, 30));
    labels.text(random.pick(kPrinterModels)).text(description(random));
    labels.blob(labelNumber % 4 == 1 ? demoBitmap(random, 240, 120) : QByteArray());
    labels.blob(labelNumber % 9 == 0 ? QByteArray() : random.bytes(16)).integer(random.chance(20) ? 1 : 0);
    labels.text(pickCreator(random)).text(randomMoment(random, 2020, 2022).text()).text(modifiedAt(random));
    return labels.insert(error);
}

bool insertControl(RowInserter& controls, DemoRandom& random, const QByteArray& labelId, int controlNo,
                   const QByteArray& itemId, QString& error)
{
    const ControlType type = randomControlType(random);
    const bool printsText = type == kText || type == kBarcode;
    controls.text(labelId).integer(controlNo).text(itemId).integer(type);
    controls.integer(random.below(800)).integer(random.below(600)).integer(random.between(10, 600));
    controls.integer(type == kLine ? random.between(1, 4) : random.between(10, 300)).integer(random.pick(kRotations));
    controls.text(printsText ? random.pick(kFontNames) : nullptr).text(printsText ? random.pick(kFontSizes) : nullptr);
    controls.integer(random.chance(25) ? 1 : 0).integer(random.chance(5) ? 1 : 0);
    const int colourDraw = random.below(100);
    controls.integer(colourDraw < 85 ? 0 : (colourDraw < 95 ? 0x0000FF : 0xFF0000));
    if (type == kBarcode)
        controls.text(random.pick(kLinearBarcodes));
    else
        controls.text(type == kQrCode ? random.pick(kMatrixBarcodes) : nullptr);
    controls.text(type == kText ? random.pick(kPrintTexts) : nullptr);
    controls.blob(type == kRectangle && random.chance(70) ? QByteArray::fromHex(random.pick(kFillPatterns))
                                                          : QByteArray());
    controls.blob(type == kPicture ? demoBitmap(random, 128, 96) : QByteArray());
    return controls.insert(error);
}

bool insertItem(RowInserter& items, DemoRandom& random, const QByteArray& itemId, QString& error)
{
    const SourceType source = static_cast<SourceType>(random.below(kDate + 1));
    items.text(itemId).text(random.pick(kItemNames)).integer(source);
    items.text(source == kDatabaseField ? random.pick(kFieldNames) : nullptr);
    items.text(source == kFixedText ? random.pick(kFixedTexts) : nullptr);
    if (source == kCounter)
        items.text("00000000");
    else
        items.text(source == kDate ? random.pick(kDateFormats) : nullptr);
    if (random.chance(50))
        items.null();
    else
        items.integer(random.between(8, 64));
    // Serial counters run past the range of a 32-bit integer.
    if (source == kCounter)
        items.integer(202400000001LL + random.below(1000) * 1000LL);
    else
        items.null();
    items.text(modifiedAt(random));
    return items.insert(error);
}

} // namespace

bool seedDemoLabels(sqlite3* db, int count, QString& error)
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
        DemoRandom random = DemoRandom::forRecord(DemoStream::Labels, labelNumber);
        const QByteArray labelId = random.guid();
        if (!insertLabel(labels, random, labelNumber, labelId, error))
            return false;

        // Fewer items than controls, so that controls share items; some labels keep an
        // item that no control uses any more.
        const int controlCount = random.between(5, 30);
        const int usedItems = (controlCount * 3 + 4) / 5;
        QList<QByteArray> itemIds;
        for (int item = usedItems + (labelNumber % 10 == 3 ? 1 : 0); item > 0; --item)
            itemIds.append(random.guid());
        for (int controlNo = 1; controlNo <= controlCount; ++controlNo) {
            const int item = controlNo <= usedItems ? controlNo - 1 : random.below(usedItems);
            if (!insertControl(controls, random, labelId, controlNo, itemIds[item], error))
                return false;
        }
        for (const QByteArray& itemId : itemIds) {
            if (!insertItem(items, random, itemId, error))
                return false;
        }
    }
    return true;
}

} // namespace korvel
