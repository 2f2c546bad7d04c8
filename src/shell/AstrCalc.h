// The astronomical calculator (AstrCalc): ecliptic and equatorial coordinates of the current
// chart's obliquity converted into each other, and an angle shown as degrees, minutes and
// seconds, as decimal degrees and as radians.
//
// Each edit converts on the user's own edits only: texts written by the calculator itself or
// through the command paths ("AstrCalc,RAEdit" ...) convert nothing.
//
//   p.FormClasses.Register("AstrCalc", [&] { return new TAstrCalc(dat, chart); });
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "ui/Forms.h"

#include <string>

namespace qor::shell {

class TAstrCalc : public ui::TForm {
public:
    TAstrCalc(AstroDat& s, ChartEngine& chart);

    ui::TGroupBox* GroupBox1; // "Эклиптические координаты"
    ui::TGroupBox* GroupBox2; // "Экваториальные координаты"
    ui::TGroupBox* GroupBox3; // "Преобразование"
    ui::TLabel* Label1;       // "Долгота"
    ui::TLabel* Label2;       // "Широта"
    ui::TLabel* Label3;       // "Пр. восхожд."
    ui::TLabel* Label4;       // "Склонение"
    ui::TLabel* Label5;       // degrees, minutes, seconds
    ui::TLabel* Label6;       // decimal degrees
    ui::TLabel* Label7;       // radians
    ui::TEdit* LambdaEdit;
    ui::TEdit* BetaEdit;
    ui::TEdit* RAEdit;  // right ascension in degrees
    ui::TEdit* RAHEdit; // right ascension in hours
    ui::TEdit* DeclEdit;
    ui::TEdit* Edit1; // degrees, minutes, seconds
    ui::TEdit* Edit2; // decimal degrees
    ui::TEdit* Edit3; // radians

    // The conversions of a user's edit of each field.
    void EclipticChanged();
    void EquatorDegreesChanged();
    void EquatorHoursChanged();
    void Edit1Changed();
    void Edit2Changed();
    void Edit3Changed();

private:
    // A finished field whose text is a plain number is written back in its own form.
    void Finished(ui::TEdit* e, bool hours);
    void FormKeyDown(int& key, ui::Shift shift);
    void OnUserEdit(ui::TEdit* e, void (TAstrCalc::*handler)());

    AstroDat& s_;
    ChartEngine& chart_;
};

} // namespace qor::shell
