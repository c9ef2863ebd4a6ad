// Validates one .gltf or .glb file with the Khronos glTF-Validator and prints
// one line of JSON: {"errors": N, "warnings": N, "messages": [...]}.
// External files (the .bin buffer, textures) are read from beside the document.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

const file = process.argv[2];
const folder = path.dirname(file);
validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
    uri: path.basename(file),
    maxIssues: 100,
    externalResourceFunction: (uri) => new Promise((resolve, reject) => {
        try {
            resolve(new Uint8Array(fs.readFileSync(path.join(folder, decodeURIComponent(uri)))));
        } catch (error) {
            reject(error.toString());
        }
    }),
}).then((report) => {
    const messages = report.issues.messages
        .filter((m) => m.severity <= 1)
        .map((m) => `${m.code} ${m.pointer || ''} ${m.message}`);
    console.log(JSON.stringify({errors: report.issues.numErrors, warnings: report.issues.numWarnings, messages}));
}, (error) => {
    console.error(String(error));
    process.exit(3);
});
