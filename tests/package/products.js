// Prints the version of each installed product with the upgrade code given
// as the argument, one a line.
var installer = new ActiveXObject("WindowsInstaller.Installer");
var products = installer.RelatedProducts(WScript.Arguments(0));
for (var i = 0; i < products.Count; i++) {
  WScript.Echo(installer.ProductInfo(products.Item(i), "VersionString"));
}
