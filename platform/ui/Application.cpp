#include "platform/ui/Application.h"

#include "platform/ui/Controls.h"

namespace ui {

TApplication* Application = nullptr;

TApplication::TApplication(Backend& backend) : backend_(backend) { Application = this; }

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

void TApplication::Run() {
  if (main_form_ == nullptr) return;
  main_form_->CreatePeers(backend_);
  main_form_->Show();
  backend_.RunMessageLoop(*main_form_);
}

void TApplication::Minimize() {
  if (main_form_ != nullptr) main_form_->SetWindowState(TWindowState::Minimized);
  minimized_ = true;
  if (OnMinimize) OnMinimize(nullptr);
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  if (main_form_ != nullptr) main_form_->SetWindowState(TWindowState::Normal);
}

void TApplication::HandleException(const std::exception& e) {
  backend_.ShowErrorReport(Title, FromUtf8(e.what()));
}

void TApplication::HandleUnknownException() {
  backend_.ShowErrorReport(Title, u"Unknown error");
}

}  // namespace ui
