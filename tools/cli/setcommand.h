#pragma once

#include "writecommand.h"

namespace ParamCatalogue {
struct Param;
}

// set: single values typed in words (tx_period=2h, use_adr=on, rx2_freq=869.525MHz), checked
// by the rules a file's values are checked by, then written as write writes a file.
class SetCommand : public WriteCommand
{
    Q_OBJECT
public:
    using WriteCommand::WriteCommand;

protected:
    bool prepare() override;
    void identified(const DeviceIdentity &device) override;
    void readDone(const QDomDocument &doc) override;

private:
    struct Assignment
    {
        QString name;      // as typed: an element or a field of a composite element
        QString typed;     // the value as typed
        const ParamCatalogue::Param *param = nullptr;
        QString attribute; // "param", or the field
        QString text;      // the document text, once the value is accepted
    };
    // The parameter and attribute a typed name sets; false with *error when there is none.
    bool resolve(Assignment *a, QString *error) const;

    QList<Assignment> assignments;
};
