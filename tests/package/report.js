// Creates the error reporter by its ProgID and sends one report whose
// five texts are the script's arguments.
var a = WScript.Arguments;
new ActiveXObject("Brevanta.General").Report(a(0), a(1), a(2), a(3), a(4));
