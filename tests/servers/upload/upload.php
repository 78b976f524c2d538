<?php
// Upload form handler for the transfer tests: stores the posted picture under stored/ with
// the name the client gave, notes what it received in stored/last.txt and answers a page
// holding the picture's link (with ".th" inside, for the tests that cut it out).
$dir = __DIR__ . '/stored';
if (!is_dir($dir)) {
    mkdir($dir);
}
$file = $_FILES['pic'] ?? null;
if ($file === null || $file['error'] !== UPLOAD_ERR_OK) {
    http_response_code(400);
    echo "no picture\n";
    exit;
}
$name = basename($file['name']);
move_uploaded_file($file['tmp_name'], $dir . '/' . $name);
$note = "name=" . $file['name'] . "\n" . "type=" . $file['type'] . "\n";
foreach ($_POST as $key => $value) {
    $note .= "field " . $key . "=" . $value . "\n";
}
file_put_contents($dir . '/last.txt', $note);
$host = $_SERVER['HTTP_HOST'];
echo "<html><body><p>Your picture:</p>\n";
echo '<img src="http://' . $host . '/stored/' . rawurlencode($name) . '.th">' . "\n";
echo "</body></html>\n";
