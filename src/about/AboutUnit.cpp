#include "about/AboutUnit.h"

#include "QuenkVersion.h"

namespace quenk {

namespace {

constexpr ui::Rect kMemoBounds{95, 8, 294, 221};

std::vector<std::string> AboutText() {
  return {"Halvix - Scourix Version " QUENK_VERSION ".", "Copyright (C) 2007 the Quenk developers.",
          "Free to use and to pass on unchanged.",       "",
          "This version is build on 03-06-07.",          "",
          "Use this program at your own risk."};
}

std::vector<std::string> DonateText() {
  return {"If this program saved you time or trouble, please",
          "support its developer with a donation.",
          "",
          "Donations are made through the payment service at",
          "https://pay.example.org, to the address",
          "donate@example.org.",
          "",
          "If you wish, your name is added to the list of",
          "donors at https://quenk.example.org/donors.",
          "",
          "All donations go to a children's charity:",
          "https://children.example.org",
          "Thank you!"};
}

std::vector<std::string> ContactText() {
  return {"Questions, suggestions or feedback are always", "welcome. Please send them to:", "",
          "quenk@example.org"};
}

}  // namespace

TAboutForm::TAboutForm(ui::Application& app)
    : ui::Form(app, {"TAboutForm", "About", 396, 267, false, false}),
      MemoAbout(*this, IDC_ABOUT_MEMOABOUT, "MemoAbout", kMemoBounds, AboutText(), 2),
      MemoDonate(*this, IDC_ABOUT_MEMODONATE, "MemoDonate", kMemoBounds, DonateText(), 3),
      MemoContact(*this, IDC_ABOUT_MEMOCONTACT, "MemoContact", kMemoBounds, ContactText(), 4) {
  for (const char* page : {"About", "Donate", "Contact"}) ListBox1.Add(page);
  ListBox1.onClick = [this] { ListBox1Click(); };
  OK.onClick = [this] { OKClick(); };
}

void TAboutForm::FormCreate() {
  ListBox1.SetItemIndex(0);
  ListBox1Click();
}

void TAboutForm::ListBox1Click() {
  const int index = ListBox1.ItemIndex();
  if (index < 0) return;
  const std::string& page = ListBox1.Item(static_cast<std::size_t>(index));
  MemoAbout.SetVisible(page == "About");
  MemoDonate.SetVisible(page == "Donate");
  MemoContact.SetVisible(page == "Contact");
}

}  // namespace quenk
