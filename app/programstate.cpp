#include "app/programstate.h"

#include "app/log.h"

ProgramState::ProgramState() {
    // The validator reads the pick list as it is when a value is set.
    Data.setValidator([this](order::Field field, const QVariant& value) {
        return order::acceptsValue(field, value, formatPickList_);
    });
}

void ProgramState::updateFormatPickList() {
    formatPickList_.clear();
    for (const formats::TFormatsRecord& format : Formats) {
        formatPickList_ << format.Name;
    }
}

std::optional<QString> ProgramState::openOrder(const QString& fileName) {
    Data.close();
    Data.setFileName(fileName);
    std::optional<QString> problem = order::openSettingAsideDamaged(Data);
    Data.setReadOnly(order::Field::File, true);
    Data.sort(order::Field::File, true);
    return problem;
}

std::optional<QString> ProgramState::saveOrder() {
    if (!Data.close()) {
        return Data.errorString();
    }
    return order::openSettingAsideDamaged(Data);
}

std::optional<QString> ProgramState::closeOrder() {
    if (!Data.close()) {
        qCWarning(lcApp) << "the order was not saved at the end:" << Data.errorString();
        return Data.errorString();
    }
    return std::nullopt;
}

order::AddOutcome ProgramState::addFile(const QString& path) {
    const QString firstFormat = Formats.empty() ? QString() : Formats.front().Name;
    return order::addFile(Data, path, firstFormat, Sort.field, Sort.ascending);
}

void ProgramState::sortByTitle(order::Field clicked) {
    Sort.titleClicked(clicked);
    Data.sort(Sort.field, Sort.ascending);
}
