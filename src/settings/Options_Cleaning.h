#pragma once

#include "ControlIds.h"
#include "settings/OptionsPage.h"

namespace quenk {

// The Cleaning page: a files switch and a registry switch per cleaning item.
class TFrameOptions_Cleaning final : public OptionsPage {
 public:
  TFrameOptions_Cleaning(ui::Container& parent, const SettingsFile& settings, OptionsHost& host);

  void LoadPage() override;
  void SavePage() override;

  ui::Label Label1{*this,          IDC_OPT_LABEL_NVC,  "Label1",
                   {8, 3, 81, 13}, "NVIDIA - Chipset", ui::Alignment::kRight};
  ui::Label Label2{*this,
                   IDC_OPT_LABEL_NV,
                   "Label2",
                   {10, 50, 79, 13},
                   "NVIDIA - Display",
                   ui::Alignment::kRight};
  ui::Label Label3{*this,           IDC_OPT_LABEL_ATI,    "Label3", {30, 98, 59, 13},
                   "ATi - Display", ui::Alignment::kRight};
  ui::Label Label4{*this,
                   IDC_OPT_LABEL_CT,
                   "Label4",
                   {8, 146, 81, 13},
                   "Creative - Sound",
                   ui::Alignment::kRight};
  ui::Label Label5{*this,
                   IDC_OPT_LABEL_RT,
                   "Label5",
                   {13, 193, 76, 13},
                   "Realtek - Sound",
                   ui::Alignment::kRight};
  ui::CheckBox CheckBoxNVCFile{
      *this, IDC_OPT_NVCFILE, "CheckBoxNVCFile", {104, 3, 97, 17}, "File cleaning", 6};
  ui::CheckBox CheckBoxNVCReg{
      *this, IDC_OPT_NVCREG, "CheckBoxNVCReg", {104, 26, 97, 17}, "Registry cleaning", 7};
  ui::CheckBox CheckBoxNVFile{
      *this, IDC_OPT_NVFILE, "CheckBoxNVFile", {104, 50, 97, 17}, "File cleaning", 0};
  ui::CheckBox CheckBoxNVReg{
      *this, IDC_OPT_NVREG, "CheckBoxNVReg", {104, 73, 97, 17}, "Registry cleaning", 1};
  ui::CheckBox CheckBoxATiFile{
      *this, IDC_OPT_ATIFILE, "CheckBoxATiFile", {104, 98, 97, 17}, "File cleaning", 2};
  ui::CheckBox CheckBoxATiReg{
      *this, IDC_OPT_ATIREG, "CheckBoxATiReg", {104, 121, 97, 17}, "Registry cleaning", 3};
  ui::CheckBox CheckBoxCTFile{
      *this, IDC_OPT_CTFILE, "CheckBoxCTFile", {104, 146, 97, 17}, "File cleaning", 4};
  ui::CheckBox CheckBoxCTReg{
      *this, IDC_OPT_CTREG, "CheckBoxCTReg", {104, 169, 97, 17}, "Registry cleaning", 5};
  ui::CheckBox CheckBoxRTFile{
      *this, IDC_OPT_RTFILE, "CheckBoxRTFile", {104, 192, 97, 17}, "File cleaning", 8};
  ui::CheckBox CheckBoxRTReg{
      *this, IDC_OPT_RTREG, "CheckBoxRTReg", {104, 215, 97, 17}, "Registry cleaning", 9};

 private:
  struct Row {
    Item item;
    ui::CheckBox& files;
    ui::CheckBox& registry;
  };
  // The boxes of each item, in the settings file's order of items.
  std::array<Row, kItemCount> Rows();
};

}  // namespace quenk
