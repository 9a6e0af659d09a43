// Anchor source so the support library is never empty.
namespace hx350::test {
int support_anchor = 0;
}
