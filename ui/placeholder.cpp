// The windows of Quillet are added here one module each.
namespace quillet::ui {}
